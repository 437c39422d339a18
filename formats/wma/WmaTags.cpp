#include "formats/wma/WmaTags.h"

#include <taglib/asffile.h>

#include "formats/wma/AsfValueOrder.h"
#include "tags/FreeFields.h"
#include "tags/NumberPairs.h"
#include "tags/TagFields.h"
#include "tags/TagPictures.h"
#include "tags/TagProperties.h"

using namespace TagLib;

namespace {
// The ASF Header Object's GUID, as stored.
constexpr char HeaderGuid[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";

bool Claims(const ByteVector& head) {
    return head.startsWith(ByteVector(HeaderGuid, sizeof HeaderGuid - 1));
}

AudioTags::Picture PictureOf(const ASF::Picture& picture) {
    return {static_cast<uint8_t>(picture.type()), picture.mimeType(), picture.description(),
            picture.picture()};
}

ASF::Picture AsfPictureOf(const AudioTags::Picture& picture) {
    ASF::Picture asf;
    asf.setType(static_cast<ASF::Picture::Type>(picture.type));
    asf.setMimeType(picture.mimeType);
    asf.setDescription(picture.description);
    asf.setPicture(picture.data);
    return asf;
}

// True when the attribute name holds a field of the table, as TagLib maps ASF's names or under
// an alias of the table: asked of a tag that holds only that attribute.
bool HoldsTagField(const String& name) {
    ASF::Tag probe;
    probe.setAttribute(name, ASF::Attribute(String("1")));
    return !CarriedFields(probe.properties()).isEmpty() || !ReadAsfAliasFields(probe).isEmpty();
}

// The text attributes outside the table; values of other types are left behind.
FreeFields FreeFieldsOf(const ASF::Tag& tag) {
    FreeFields fields;
    for (const auto& [name, attributes] : tag.attributeListMap()) {
        StringList values;
        for (const ASF::Attribute& attribute : attributes) {
            if (attribute.type() == ASF::Attribute::UnicodeType) {
                values.append(attribute.toString());
            }
        }
        if (!values.isEmpty() && !HoldsTagField(name)) {
            CarryFreeField(fields, name, values);
        }
    }
    return fields;
}

void SetFreeFields(ASF::Tag& tag, const FreeFields& fields) {
    for (const AudioTags::FreeField& field : fields) {
        if (HoldsTagField(field.name)) {
            continue; // a field of the table is written as such, from the fields
        }
        ASF::AttributeList values;
        for (const String& value : field.values) {
            values.append(ASF::Attribute(value));
        }
        tag.setAttribute(field.name, values);
    }
}

AudioTags Read(IOStream& stream) {
    ASF::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    ASF::Tag& tag = *file.tag();
    RestoreAsfValueOrder(tag, stream);
    tags.fields = CarriedFields(tag.properties());
    AddMissingFields(tags.fields, ReadAsfAliasFields(tag));
    tags.freeFields = FreeFieldsOf(tag);
    for (const ASF::Attribute& attribute : tag.attribute("WM/Picture")) {
        const ASF::Picture picture = attribute.toPicture();
        if (picture.isValid()) {
            CarryPicture(tags.pictures, PictureOf(picture));
        }
    }
    return tags;
}

bool Write(IOStream& stream, const AudioTags& tags) {
    ASF::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    ASF::Tag& tag = *file.tag();
    // "WM/TrackNumber" and "WM/PartOfSet" as "3/12": ASF has no total of its own.
    SetCarriedFields(tag, JoinedNumberPairs(tags.fields));
    SetFreeFields(tag, tags.freeFields);
    if (!tags.pictures.empty()) {
        ASF::AttributeList pictures;
        for (const AudioTags::Picture& picture : tags.pictures) {
            pictures.append(ASF::Attribute(AsfPictureOf(picture)));
        }
        tag.setAttribute("WM/Picture", pictures);
    }
    return file.save();
}
} // namespace

const TagFormat WmaTags = {Claims, Read, Write};

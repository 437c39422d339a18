#include "formats/wma/WmaTags.h"

#include <taglib/asffile.h>

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

AudioTags Read(IOStream& stream) {
    ASF::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    const ASF::Tag& tag = *file.tag();
    tags.fields = CarriedFields(tag.properties());
    AddMissingFields(tags.fields, ReadAsfAliasFields(tag));
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
    SetCarriedFields(tag, tags.fields);
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

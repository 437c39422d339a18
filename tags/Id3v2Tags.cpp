#include "tags/Id3v2Tags.h"

#include <memory>

#include <taglib/textidentificationframe.h>

#include "tags/FreeFields.h"
#include "tags/NumberPairs.h"
#include "tags/TagFields.h"
#include "tags/TagPictures.h"
#include "tags/TagProperties.h"

using namespace TagLib;

namespace {
// A "TXXX" frame's values; TagLib lists its description first.
StringList ValuesOf(const ID3v2::UserTextIdentificationFrame& frame) {
    StringList values = frame.fieldList();
    if (!values.isEmpty()) {
        values.erase(values.begin());
    }
    return values;
}
} // namespace

void ReadId3v2(const ID3v2::Tag& tag, AudioTags& tags) {
    tags.fields = CarriedFields(tag.properties());
    for (const ID3v2::Frame* frame : tag.frameList("TXXX")) {
        if (const auto* text = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(frame)) {
            CarryFreeField(tags.freeFields, text->description(), ValuesOf(*text));
        }
    }
    for (const ID3v2::Frame* frame : tag.frameList("APIC")) {
        if (const auto* picture = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame)) {
            CarryPicture(tags.pictures, PictureOf(*picture));
        }
    }
}

void SetId3v2(ID3v2::Tag& tag, const AudioTags& tags) {
    SetCarriedFields(tag, JoinedNumberPairs(tags.fields)); // "TRCK" and "TPOS" as "3/12"
    // The tag owns its frames.
    for (const AudioTags::FreeField& field : tags.freeFields) {
        tag.addFrame(std::make_unique<ID3v2::UserTextIdentificationFrame>(field.name, field.values)
                         .release());
    }
    for (const AudioTags::Picture& picture : tags.pictures) {
        tag.addFrame(ApicFrameOf(picture).release());
    }
}

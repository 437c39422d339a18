#include "tags/Id3v2Tags.h"

#include "tags/TagFields.h"
#include "tags/TagPictures.h"
#include "tags/TagProperties.h"

using namespace TagLib;

void ReadId3v2(const ID3v2::Tag& tag, AudioTags& tags) {
    tags.fields = CarriedFields(tag.properties());
    for (const ID3v2::Frame* frame : tag.frameList("APIC")) {
        if (const auto* picture = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame)) {
            CarryPicture(tags.pictures, PictureOf(*picture));
        }
    }
}

void SetId3v2(ID3v2::Tag& tag, const AudioTags& tags) {
    SetCarriedFields(tag, tags.fields);
    for (const AudioTags::Picture& picture : tags.pictures) {
        tag.addFrame(ApicFrameOf(picture).release()); // the tag owns its frames
    }
}

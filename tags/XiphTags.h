#pragma once
// The carried tags in a Vorbis comment, as the Xiph.Org formats hold them: every field under its
// own name in upper case, those outside the table as free-form fields; in an Ogg file, the pictures
// in the comment as METADATA_BLOCK_PICTURE (a FLAC file keeps its own in picture blocks beside it).
#include <taglib/tiostream.h>
#include <taglib/xiphcomment.h>

#include "tags/AudioTags.h"
#include "tags/FreeFields.h"
#include "tags/TagFields.h"
#include "tags/TagPictures.h"
#include "tags/TagProperties.h"

inline void ReadXiphComment(TagLib::Ogg::XiphComment& comment, AudioTags& tags) {
    const TagLib::PropertyMap all = comment.properties();
    tags.fields = CarriedFields(all);
    CarryFreeFields(tags.freeFields, all);
    CarryPictures(tags.pictures, comment.pictureList());
}

// The tags of an Ogg file whose TagLib class is OggFile.
template <typename OggFile> AudioTags ReadOggTags(TagLib::IOStream& stream) {
    OggFile file(&stream, false);
    AudioTags tags;
    if (file.isValid() && file.tag()) {
        ReadXiphComment(*file.tag(), tags);
    }
    return tags;
}

template <typename OggFile> bool WriteOggTags(TagLib::IOStream& stream, const AudioTags& tags) {
    OggFile file(&stream, false);
    if (!file.isValid() || !file.tag()) {
        return false;
    }
    TagLib::Ogg::XiphComment& comment = *file.tag();
    SetCarriedFields(comment, WithFreeFields(tags.fields, tags.freeFields));
    for (const AudioTags::Picture& picture : tags.pictures) {
        comment.addPicture(FlacPictureOf(picture));
    }
    return file.save();
}

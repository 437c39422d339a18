#include "formats/mp3/Mp3Tags.h"

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include "tags/Id3v2Tags.h"
#include "tags/TagFields.h"
#include "tags/TagProperties.h"

using namespace TagLib;

namespace {
AudioTags Read(IOStream& stream) {
    MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasID3v2Tag()) {
        ReadId3v2(*file.ID3v2Tag(), tags);
    }
    if (file.hasID3v1Tag()) {
        AddMissingFields(tags.fields, CarriedFields(file.ID3v1Tag()->properties()));
        tags.id3v1 = true;
    }
    return tags;
}

bool Write(IOStream& stream, const AudioTags& tags) {
    MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    SetId3v2(*file.ID3v2Tag(true), tags);
    int kinds = MPEG::File::ID3v2;
    if (tags.id3v1) {
        SetCarriedFields(*file.ID3v1Tag(true), tags.fields);
        kinds |= MPEG::File::ID3v1;
    }
    // Nothing is stripped: whatever TagLib might take for a tag inside the audio stays.
    return file.save(kinds, File::StripNone, ID3v2::v4, File::DoNotDuplicate);
}
} // namespace

const TagFormat Mp3Tags = {nullptr, Read, Write};

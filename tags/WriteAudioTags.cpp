#include "tags/WriteAudioTags.h"

#include <cstdint>
#include <memory>

#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/wavfile.h>

#include "tags/TagFields.h"

using namespace TagLib;

namespace {
// A template, so that each tag type's own property mapping is the one called.
template <typename TagType> void SetFields(TagType& tag, const PropertyMap& fields) {
    PropertyMap all = tag.properties();
    for (const auto& [property, values] : fields) {
        all.replace(property, values);
    }
    tag.setProperties(all);
}

void SetId3v2(ID3v2::Tag& tag, const AudioTags& tags) {
    SetFields(tag, tags.fields);
    if (!tags.frontCover) {
        return;
    }
    auto frame = std::make_unique<ID3v2::AttachedPictureFrame>();
    frame->setType(ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(tags.frontCover->mimeType);
    frame->setDescription(tags.frontCover->description);
    frame->setPicture(tags.frontCover->data);
    tag.addFrame(frame.release()); // the tag owns its frames
}

bool WriteMpeg(IOStream& stream, const AudioTags& tags) {
    MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    SetId3v2(*file.ID3v2Tag(true), tags);
    int kinds = MPEG::File::ID3v2;
    if (tags.id3v1) {
        SetFields(*file.ID3v1Tag(true), tags.fields);
        kinds |= MPEG::File::ID3v1;
    }
    // Nothing is stripped: whatever TagLib might take for a tag inside the audio stays.
    return file.save(kinds, File::StripNone, ID3v2::v4, File::DoNotDuplicate);
}

bool WriteAsf(IOStream& stream, const AudioTags& tags) {
    ASF::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    ASF::Tag& tag = *file.tag();
    SetFields(tag, tags.fields);
    if (tags.frontCover) {
        ASF::Picture picture;
        picture.setType(ASF::Picture::FrontCover);
        picture.setMimeType(tags.frontCover->mimeType);
        picture.setDescription(tags.frontCover->description);
        picture.setPicture(tags.frontCover->data);
        tag.setAttribute("WM/Picture", ASF::Attribute(picture));
    }
    return file.save();
}

// At most what the tags take in a WAVE file, as an INFO list and an ID3v2 chunk.
uint64_t WaveTagBytesBound(const AudioTags& tags) {
    constexpr uint64_t Overhead = 4096;
    uint64_t bytes = Overhead + (tags.frontCover ? tags.frontCover->data.size() : 0);
    for (const auto& [property, values] : tags.fields) {
        for (const String& value : values) {
            bytes += 2 * (4 * uint64_t{value.size()} + 16); // UTF-8 or UTF-16, twice
        }
    }
    return bytes;
}

bool WriteWave(IOStream& stream, const AudioTags& tags) {
    // RIFF sizes are 32-bit numbers: a file that the tags could push past them stays untagged.
    constexpr uint64_t RiffLimit = 0xFFFFFFFF;
    if (static_cast<uint64_t>(stream.length()) + WaveTagBytesBound(tags) > RiffLimit) {
        return false;
    }
    RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    SetId3v2(*file.ID3v2Tag(), tags);
    WriteInfoFields(*file.InfoTag(), tags.fields);
    return file.save(RIFF::WAV::File::AllTags, File::StripNone, ID3v2::v4);
}
} // namespace

bool WriteAudioTags(IOStream& stream, AudioFileKind kind, const AudioTags& tags) {
    switch (kind) {
    case AudioFileKind::Wave:
        return WriteWave(stream, tags);
    case AudioFileKind::Wma:
        return WriteAsf(stream, tags);
    case AudioFileKind::Mp3:
        break;
    }
    return WriteMpeg(stream, tags);
}

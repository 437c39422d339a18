#include "tags/WriteAudioTags.h"

#include <cstdint>
#include <memory>

#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include "tags/Mp4Tags.h"
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

// Each format's picture made from a carried one; the type was bounded when it was read.
std::unique_ptr<ID3v2::AttachedPictureFrame> ApicFrameOf(const AudioTags::Picture& picture) {
    auto frame = std::make_unique<ID3v2::AttachedPictureFrame>();
    frame->setType(static_cast<ID3v2::AttachedPictureFrame::Type>(picture.type));
    frame->setMimeType(picture.mimeType);
    frame->setDescription(picture.description);
    frame->setPicture(picture.data);
    return frame;
}

ASF::Picture AsfPictureOf(const AudioTags::Picture& picture) {
    ASF::Picture asf;
    asf.setType(static_cast<ASF::Picture::Type>(picture.type));
    asf.setMimeType(picture.mimeType);
    asf.setDescription(picture.description);
    asf.setPicture(picture.data);
    return asf;
}

// The owner of the picture (a file or a comment) takes it over.
FLAC::Picture* FlacPictureOf(const AudioTags::Picture& picture) {
    auto flac = std::make_unique<FLAC::Picture>();
    flac->setType(static_cast<FLAC::Picture::Type>(picture.type));
    flac->setMimeType(picture.mimeType);
    flac->setDescription(picture.description);
    flac->setData(picture.data);
    return flac.release();
}

void SetId3v2(ID3v2::Tag& tag, const AudioTags& tags) {
    SetFields(tag, tags.fields);
    for (const AudioTags::Picture& picture : tags.pictures) {
        tag.addFrame(ApicFrameOf(picture).release()); // the tag owns its frames
    }
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
    if (!tags.pictures.empty()) {
        ASF::AttributeList pictures;
        for (const AudioTags::Picture& picture : tags.pictures) {
            pictures.append(ASF::Attribute(AsfPictureOf(picture)));
        }
        tag.setAttribute("WM/Picture", pictures);
    }
    return file.save();
}

// A FLAC file keeps its pictures in blocks of their own, beside the Vorbis comment.
bool WriteFlac(IOStream& stream, const AudioTags& tags) {
    FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    SetFields(*file.xiphComment(true), tags.fields);
    for (const AudioTags::Picture& picture : tags.pictures) {
        file.addPicture(FlacPictureOf(picture));
    }
    return file.save();
}

// Ogg Opus and Vorbis keep their pictures in the comment, as METADATA_BLOCK_PICTURE.
template <typename OggFile> bool WriteOgg(IOStream& stream, const AudioTags& tags) {
    OggFile file(&stream, false);
    if (!file.isValid() || !file.tag()) {
        return false;
    }
    Ogg::XiphComment& comment = *file.tag();
    SetFields(comment, tags.fields);
    for (const AudioTags::Picture& picture : tags.pictures) {
        comment.addPicture(FlacPictureOf(picture));
    }
    return file.save();
}

// At most what a text takes in a tag, in UTF-8 or UTF-16 with its frame's header.
uint64_t TextBytesBound(const String& text) {
    return 4 * uint64_t{text.size()} + 16;
}

// At most what the tags take in a WAVE file, as an INFO list and an ID3v2 chunk.
uint64_t WaveTagBytesBound(const AudioTags& tags) {
    constexpr uint64_t Overhead = 4096;
    uint64_t bytes = Overhead;
    for (const AudioTags::Picture& picture : tags.pictures) {
        bytes += picture.data.size() + TextBytesBound(picture.mimeType) +
                 TextBytesBound(picture.description);
    }
    for (const auto& [property, values] : tags.fields) {
        for (const String& value : values) {
            bytes += 2 * TextBytesBound(value); // in both tags
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
    case AudioFileKind::Flac:
        return WriteFlac(stream, tags);
    case AudioFileKind::Opus:
        return WriteOgg<Ogg::Opus::File>(stream, tags);
    case AudioFileKind::Vorbis:
        return WriteOgg<Ogg::Vorbis::File>(stream, tags);
    case AudioFileKind::Mp4:
        return WriteMp4Tags(stream, tags);
    case AudioFileKind::Mp3:
        break;
    }
    return WriteMpeg(stream, tags);
}

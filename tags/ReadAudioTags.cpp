#include "tags/ReadAudioTags.h"

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

#include <fcntl.h>
#include <sys/stat.h>

#include "system/UniqueFd.h"
#include "tags/AudioFileKind.h"
#include "tags/CheckedFileStream.h"
#include "tags/Mp4Tags.h"
#include "tags/TagFields.h"

using namespace TagLib;

namespace {
// Adds picture unless it is empty or too large, or the pictures already carried reach a limit.
void Carry(std::vector<AudioTags::Picture>& pictures, AudioTags::Picture picture) {
    unsigned int total = 0;
    for (const AudioTags::Picture& carried : pictures) {
        total += carried.data.size();
    }
    const unsigned int size = picture.data.size();
    if (size == 0 || size > MaxPictureBytes || pictures.size() == MaxPictures ||
        size > MaxPictureTotalBytes - total || picture.mimeType.size() > MaxTextLength ||
        picture.description.size() > MaxTextLength) {
        return;
    }
    if (picture.type > AudioTags::LastPictureType) {
        picture.type = AudioTags::OtherPicture; // a type no format defines
    }
    pictures.push_back(std::move(picture));
}

// Each format's picture, taken as it is; the type becomes a number right away, since a hostile
// file may hold one the enumeration does not.
AudioTags::Picture PictureOf(const ID3v2::AttachedPictureFrame& frame) {
    return {static_cast<uint8_t>(frame.type()), frame.mimeType(), frame.description(),
            frame.picture()};
}

AudioTags::Picture PictureOf(const ASF::Picture& picture) {
    return {static_cast<uint8_t>(picture.type()), picture.mimeType(), picture.description(),
            picture.picture()};
}

AudioTags::Picture PictureOf(const FLAC::Picture& picture) {
    return {static_cast<uint8_t>(picture.type()), picture.mimeType(), picture.description(),
            picture.data()};
}

void CarryAll(std::vector<AudioTags::Picture>& pictures, const List<FLAC::Picture*>& list) {
    for (const FLAC::Picture* picture : list) {
        Carry(pictures, PictureOf(*picture));
    }
}

std::vector<AudioTags::Picture> PicturesOf(const ID3v2::Tag& tag) {
    std::vector<AudioTags::Picture> pictures;
    for (const ID3v2::Frame* frame : tag.frameList("APIC")) {
        if (const auto* picture = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame)) {
            Carry(pictures, PictureOf(*picture));
        }
    }
    return pictures;
}

std::vector<AudioTags::Picture> PicturesOf(const ASF::Tag& tag) {
    std::vector<AudioTags::Picture> pictures;
    for (const ASF::Attribute& attribute : tag.attribute("WM/Picture")) {
        const ASF::Picture picture = attribute.toPicture();
        if (picture.isValid()) {
            Carry(pictures, PictureOf(picture));
        }
    }
    return pictures;
}

void ReadId3v2(const ID3v2::Tag& tag, AudioTags& tags) {
    tags.fields = CarriedFields(tag.properties());
    tags.pictures = PicturesOf(tag);
}

AudioTags ReadMpeg(IOStream& stream) {
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

AudioTags ReadAsf(IOStream& stream) {
    ASF::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    const ASF::Tag& tag = *file.tag();
    tags.fields = CarriedFields(tag.properties());
    AddMissingFields(tags.fields, ReadAsfAliasFields(tag));
    tags.pictures = PicturesOf(tag);
    return tags;
}

// Vorbis comments hold every field under its own name, pictures as METADATA_BLOCK_PICTURE.
void ReadXiph(Ogg::XiphComment& comment, AudioTags& tags) {
    tags.fields = CarriedFields(comment.properties());
    CarryAll(tags.pictures, comment.pictureList());
}

AudioTags ReadFlac(IOStream& stream) {
    FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasXiphComment()) {
        ReadXiph(*file.xiphComment(), tags);
    }
    CarryAll(tags.pictures, file.pictureList()); // the picture blocks of the file itself
    return tags;
}

template <typename OggFile> AudioTags ReadOgg(IOStream& stream) {
    OggFile file(&stream, false);
    AudioTags tags;
    if (file.isValid() && file.tag()) {
        ReadXiph(*file.tag(), tags);
    }
    return tags;
}

AudioTags ReadWave(IOStream& stream) {
    RIFF::WAV::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasID3v2Tag()) {
        ReadId3v2(*file.ID3v2Tag(), tags);
    }
    if (file.hasInfoTag()) {
        AddMissingFields(tags.fields, ReadInfoFields(*file.InfoTag()));
    }
    return tags;
}
} // namespace

AudioTags ReadAudioTags(IOStream& stream) {
    switch (SniffAudioFileKind(stream)) {
    case AudioFileKind::Wave:
        return ReadWave(stream);
    case AudioFileKind::Wma:
        return ReadAsf(stream);
    case AudioFileKind::Flac:
        return ReadFlac(stream);
    case AudioFileKind::Opus:
        return ReadOgg<Ogg::Opus::File>(stream);
    case AudioFileKind::Vorbis:
        return ReadOgg<Ogg::Vorbis::File>(stream);
    case AudioFileKind::Mp4:
        return ReadMp4Tags(stream);
    case AudioFileKind::Mp3:
        break;
    }
    return ReadMpeg(stream);
}

AudioTags ReadAudioTagsOfFile(const std::string& path) {
    // Only a regular file, and the open never waits (a FIFO put in the input's place would).
    const UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (!file.Valid() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    CheckedFileStream stream(file.Get(), path, true);
    return ReadAudioTags(stream);
}

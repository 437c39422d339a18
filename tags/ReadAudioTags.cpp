#include "tags/ReadAudioTags.h"

#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/wavfile.h>

#include <fcntl.h>

#include "system/UniqueFd.h"
#include "tags/AudioFileKind.h"
#include "tags/CheckedFileStream.h"
#include "tags/TagFields.h"

using namespace TagLib;

namespace {
bool Acceptable(const ByteVector& picture) {
    return !picture.isEmpty() && picture.size() <= MaxPictureBytes;
}

std::optional<AudioTags::Picture> FrontCoverOf(const ID3v2::Tag& tag) {
    for (const ID3v2::Frame* frame : tag.frameList("APIC")) {
        const auto* picture = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame);
        if (picture && picture->type() == ID3v2::AttachedPictureFrame::FrontCover &&
            Acceptable(picture->picture())) {
            return AudioTags::Picture{picture->mimeType(), picture->description(),
                                      picture->picture()};
        }
    }
    return std::nullopt;
}

std::optional<AudioTags::Picture> FrontCoverOf(const ASF::Tag& tag) {
    for (const ASF::Attribute& attribute : tag.attribute("WM/Picture")) {
        const ASF::Picture picture = attribute.toPicture();
        if (picture.isValid() && picture.type() == ASF::Picture::FrontCover &&
            Acceptable(picture.picture())) {
            return AudioTags::Picture{picture.mimeType(), picture.description(), picture.picture()};
        }
    }
    return std::nullopt;
}

void ReadId3v2(const ID3v2::Tag& tag, AudioTags& tags) {
    tags.fields = CarriedFields(tag.properties());
    tags.frontCover = FrontCoverOf(tag);
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
    tags.frontCover = FrontCoverOf(tag);
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
    case AudioFileKind::Mp3:
        break;
    }
    return ReadMpeg(stream);
}

AudioTags ReadAudioTagsOfFile(const std::string& path) {
    const UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        return {};
    }
    CheckedFileStream stream(file.Get(), path, true);
    return ReadAudioTags(stream);
}

#include "mirror/ClearTags.h"

#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <utility>

namespace {
using namespace TagLib;

bool ClearXiph(Ogg::XiphComment* comment) {
    if (!comment) {
        return false;
    }
    comment->removeAllFields();
    comment->removeAllPictures();
    return true;
}

template <class OggFile> bool ClearOgg(IOStream& stream) {
    OggFile file(&stream, false);
    return file.isValid() && ClearXiph(file.tag()) && file.save();
}

bool ClearFlac(IOStream& stream) {
    FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    file.removePictures();
    file.strip(FLAC::File::ID3v1 | FLAC::File::ID3v2);
    return ClearXiph(file.xiphComment(true)) && file.save();
}

bool ClearMp3(IOStream& stream) {
    MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
    return file.isValid() && file.strip();
}

bool ClearWave(IOStream& stream) {
    RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    file.strip();
    return true;
}

bool ClearMp4(IOStream& stream) {
    MP4::File file(&stream, false);
    if (!file.isValid() || !file.tag()) {
        return false;
    }
    for (const auto& [key, item] : file.tag()->itemMap()) {
        file.tag()->removeItem(key);
    }
    return file.save();
}

bool ClearWma(IOStream& stream) {
    ASF::File file(&stream, false);
    if (!file.isValid() || !file.tag()) {
        return false;
    }
    ASF::Tag& tag = *file.tag();
    const ASF::AttributeListMap attributes = tag.attributeListMap();
    for (const auto& [name, values] : attributes) {
        tag.removeItem(name);
    }
    for (void (ASF::Tag::*set)(const String&) :
         {&ASF::Tag::setTitle, &ASF::Tag::setArtist, &ASF::Tag::setCopyright, &ASF::Tag::setComment,
          &ASF::Tag::setRating}) {
        (tag.*set)(String());
    }
    return file.save();
}

// By target format's key; the two MP4 targets are one container.
constexpr std::pair<std::string_view, bool (*)(IOStream&)> Clearers[] = {
    {"wav", ClearWave},
    {"mp3", ClearMp3},
    {"wma", ClearWma},
    {"flac", ClearFlac},
    {"opus", ClearOgg<Ogg::Opus::File>},
    {"ogg", ClearOgg<Ogg::Vorbis::File>},
    {"m4a", ClearMp4},
    {"alac", ClearMp4},
};
} // namespace

bool ClearTags(const std::string& path, std::string_view targetKey) {
    for (const auto& [key, clear] : Clearers) {
        if (key == targetKey) {
            FileStream stream(path.c_str());
            return stream.isOpen() && !stream.readOnly() && clear(stream);
        }
    }
    return false;
}

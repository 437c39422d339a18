#include "tags/AudioFileKind.h"

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

namespace {
// The ASF Header Object's GUID, as stored.
constexpr char AsfHeaderGuid[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
} // namespace

AudioFileKind SniffAudioFileKind(TagLib::IOStream& stream) {
    stream.seek(0);
    // An Ogg file's first page holds one packet, which names the codec, from byte 28.
    const TagLib::ByteVector head = stream.readBlock(36);
    stream.seek(0);
    if (head.startsWith("RIFF") && head.containsAt("WAVE", 8)) {
        return AudioFileKind::Wave;
    }
    if (head.startsWith(TagLib::ByteVector(AsfHeaderGuid, sizeof AsfHeaderGuid - 1))) {
        return AudioFileKind::Wma;
    }
    if (head.startsWith("fLaC")) {
        return AudioFileKind::Flac;
    }
    if (head.startsWith("OggS") && head.containsAt("OpusHead", 28)) {
        return AudioFileKind::Opus;
    }
    if (head.startsWith("OggS") && head.containsAt("\x01vorbis", 28)) {
        return AudioFileKind::Vorbis;
    }
    if (head.containsAt("ftyp", 4)) {
        return AudioFileKind::Mp4;
    }
    return AudioFileKind::Mp3;
}

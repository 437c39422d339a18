#pragma once
// The file families whose tags are carried, and telling them apart by their first bytes.
#include <cstdint>

namespace TagLib {
class IOStream;
}

enum class AudioFileKind : uint8_t { Wave, Mp3, Wma, Mp4 };

// RIFF WAVE, ASF and MP4 ("ftyp" first) are told by their headers; anything else is taken for MPEG
// audio, which TagLib then accepts or refuses. The stream is left at its start.
AudioFileKind SniffAudioFileKind(TagLib::IOStream& stream);

#pragma once
// The file families whose tags are carried, and telling them apart by their first bytes.
#include "formats/AudioFileKind.h"

namespace TagLib {
class IOStream;
}

// RIFF WAVE, ASF, FLAC, Ogg Opus or Vorbis and MP4 ("ftyp" first) are told by their headers;
// anything else is taken for MPEG audio, which TagLib then accepts or refuses. The stream is left
// at its start.
AudioFileKind SniffAudioFileKind(TagLib::IOStream& stream);

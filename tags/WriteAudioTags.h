#pragma once
// Writing carried tags into a finished output: MP3 gets ID3v2.4 (and ID3v1 when the input had
// one), WMA gets ASF attributes, M4A gets MP4 atoms (tags/Mp4Tags.h), WAVE gets a RIFF INFO list
// and an ID3v2 chunk after its audio, FLAC, Opus and Vorbis get a Vorbis comment with picture
// blocks. Tags the output already has are kept unless a carried field replaces them.
#include "tags/AudioFileKind.h"
#include "tags/AudioTags.h"

namespace TagLib {
class IOStream;
}

// False when TagLib refused the file or the save; the stream may then hold a partial write.
bool WriteAudioTags(TagLib::IOStream& stream, AudioFileKind kind, const AudioTags& tags);

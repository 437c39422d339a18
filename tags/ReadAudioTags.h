#pragma once
// Reading the carried tags of a WAVE (ID3v2 in an "id3 " chunk, then RIFF INFO), MP3 (ID3v2,
// then ID3v1), ASF or MP4 file, whichever its content is. Unreadable or damaged tags read as fewer
// fields or none; nothing here throws or fails.
#include <string>

#include "tags/AudioTags.h"

namespace TagLib {
class IOStream;
}

AudioTags ReadAudioTags(TagLib::IOStream& stream);
AudioTags ReadAudioTagsOfFile(const std::string& path);

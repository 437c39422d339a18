#pragma once
// Reading the carried tags of a file, whichever of the formats' tag families its content is.
// Unreadable or damaged tags read as fewer fields or none; nothing here throws or fails.
#include <string>

#include "tags/AudioTags.h"

namespace TagLib {
class IOStream;
}

struct TagFormat;

// The family that claims the stream's first bytes, or the one without a fixed header; the stream
// is left at its start. nullptr only when no format has tags.
const TagFormat* FindTagFormat(TagLib::IOStream& stream);

// Track and disc numbers come as NumberPairs.h carries them.
AudioTags ReadAudioTags(TagLib::IOStream& stream);
AudioTags ReadAudioTagsOfFile(const std::string& path);

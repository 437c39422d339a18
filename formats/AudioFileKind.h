#pragma once
// The file families whose tags are carried: each format says which one it writes.
#include <cstdint>

enum class AudioFileKind : uint8_t { Wave, Mp3, Wma, Flac, Opus, Vorbis, Mp4 };

#pragma once
// The length of an audio file as its header tells, without decoding it.
#include <cstdint>
#include <optional>
#include <string>

struct AudioLength {
    int64_t frames = 0;
    int64_t rate = 0; // Hz
};

// None when the header does not tell it (or the file cannot be read).
std::optional<AudioLength> ReadAudioLength(const std::string& path);

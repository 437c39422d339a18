#pragma once
// The input extensions of the stream formats, each with the codec module that reads it and the
// target format that writes it.
#include <array>
#include <cstdint>
#include <string_view>

#include "engine/ConversionSettings.h"
#include "system/CodecModuleFiles.h"

struct StreamFileType {
    std::string_view Extension; // upper case, with its dot
    uint8_t Target;
    const char* ModuleFile;
    const char* Name; // of the module, for people
};

inline constexpr std::array<StreamFileType, 4> StreamFileTypes = {{
    {".FLAC", tfFlac, FlacModuleFile, "FLAC"},
    {".OPUS", tfOpus, OpusModuleFile, "Opus"},
    {".OGG", tfVorbis, VorbisModuleFile, "Vorbis"},
    {".OGA", tfVorbis, VorbisModuleFile, "Vorbis"},
}};

// The entry of an extension in any letter case; nullptr for any other.
const StreamFileType* FindStreamFileType(std::string_view extension);
// The first entry written by a target format; nullptr for a format that is no stream format.
const StreamFileType* FindStreamFileType(uint8_t target);

#pragma once
// A codec module a format cannot be read or written without, as the refusal before a job names it.
#include <string_view>

struct CodecModuleNeed {
    std::string_view What; // "MP3 encoder"
    const char* File;      // one of CodecModuleFiles.h
};

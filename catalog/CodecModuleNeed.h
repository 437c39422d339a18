#pragma once
// A codec module a format cannot be read or written without, as the refusal before a job names it.
#include <string_view>

struct CodecModuleNeed {
    std::string_view What; // "MP3 encoder"
    const char* File;      // as the build names the module: "libbmc-mp3enc.so"
    // The window starts a job without it all the same: the files that need it fail one by one
    // (MP3), or the window has a refusal of its own (WMA). The command line refuses every job
    // without its modules.
    bool WindowLeavesToTheJob = false;
};

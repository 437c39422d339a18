#include "acm/FFmpegLibrary.h"

#include <dlfcn.h>

#include <string>

namespace {
// The versions the program was built against; another major version is another interface.
std::string SharedObject(const char* stem, int major) {
    return std::string(stem) + ".so." + std::to_string(major);
}

// The handles stay open for the life of the process: the functions are used until its end.
void* Open(const std::string& name) {
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}
} // namespace

const FFmpegLibrary* FFmpegLibrary::Get() {
    static const FFmpegLibrary* const loaded = [] {
        static FFmpegLibrary library;
        return library.Load() ? &library : nullptr;
    }();
    return loaded;
}

bool FFmpegLibrary::Load() {
    // The format library brings the codec and utility libraries it is built on; the resampler
    // is looked up on its own.
    void* const handles[] = {
        Open(SharedObject("libavformat", LIBAVFORMAT_VERSION_MAJOR)),
        Open(SharedObject("libswresample", LIBSWRESAMPLE_VERSION_MAJOR)),
    };
    for (void* handle : handles) {
        if (handle == nullptr) {
            return false;
        }
    }
    const auto find = [&handles](const char* name) -> void* {
        for (void* handle : handles) {
            if (void* symbol = dlsym(handle, name)) {
                return symbol;
            }
        }
        return nullptr;
    };
    bool complete = true;
#define BMC_FFMPEG_RESOLVE(name)                                                                   \
    name = reinterpret_cast<decltype(name)>(find(#name));                                          \
    complete = complete && name != nullptr;
    BMC_FFMPEG_FUNCTIONS(BMC_FFMPEG_RESOLVE)
#undef BMC_FFMPEG_RESOLVE
    if (complete) {
        // Damaged input and refused parameters are the callers' to report; the library's own
        // messages would only clutter the terminal of the command-line front end.
        this->av_log_set_level(AV_LOG_QUIET);
        LoadImages();
    }
    return complete;
}

void FFmpegLibrary::LoadImages() {
    void* const handle = Open(SharedObject("libswscale", LIBSWSCALE_VERSION_MAJOR));
    if (handle == nullptr) {
        return;
    }
    bool complete = true;
#define BMC_FFMPEG_RESOLVE(name)                                                                   \
    name = reinterpret_cast<decltype(name)>(dlsym(handle, #name));                                 \
    complete = complete && name != nullptr;
    BMC_FFMPEG_IMAGE_FUNCTIONS(BMC_FFMPEG_RESOLVE)
#undef BMC_FFMPEG_RESOLVE
    images_ = complete;
}

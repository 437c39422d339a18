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

FFmpegLibrary& FFmpegLibrary::Instance() {
    static FFmpegLibrary library;
    return library;
}

const FFmpegLibrary* FFmpegLibrary::Samples() {
    static const FFmpegLibrary* const loaded = Instance().LoadSamples() ? &Instance() : nullptr;
    return loaded;
}

const FFmpegLibrary* FFmpegLibrary::Codecs() {
    static const FFmpegLibrary* const loaded =
        Samples() && Instance().LoadCodecs() ? &Instance() : nullptr;
    return loaded;
}

const FFmpegLibrary* FFmpegLibrary::Get() {
    static const FFmpegLibrary* const loaded =
        Codecs() && Instance().LoadFormats() ? &Instance() : nullptr;
    return loaded;
}

// Each set of functions from one library, which brings those it is built on: dlsym looks through
// them too. True when the library and every function of the set were found.
#define BMC_FFMPEG_RESOLVE(name)                                                                   \
    name = reinterpret_cast<decltype(name)>(dlsym(handle, #name));                                 \
    complete = complete && name != nullptr;
#define BMC_FFMPEG_LOAD(stem, major, FUNCTIONS)                                                    \
    void* const handle = Open(SharedObject(stem, major));                                          \
    bool complete = handle != nullptr;                                                             \
    if (complete) {                                                                                \
        FUNCTIONS(BMC_FFMPEG_RESOLVE)                                                              \
    }

bool FFmpegLibrary::LoadSamples() {
    BMC_FFMPEG_LOAD("libswresample", LIBSWRESAMPLE_VERSION_MAJOR, BMC_FFMPEG_SAMPLE_FUNCTIONS)
    // Damaged input and refused parameters are the callers' to report; the library's own
    // messages would only clutter the terminal of the command-line front end.
    if (complete)
        this->av_log_set_level(AV_LOG_QUIET);
    return complete;
}

bool FFmpegLibrary::LoadCodecs() {
    BMC_FFMPEG_LOAD("libavcodec", LIBAVCODEC_VERSION_MAJOR, BMC_FFMPEG_CODEC_FUNCTIONS)
    return complete;
}

bool FFmpegLibrary::LoadFormats() {
    BMC_FFMPEG_LOAD("libavformat", LIBAVFORMAT_VERSION_MAJOR, BMC_FFMPEG_FORMAT_FUNCTIONS)
    images_ = complete && LoadImages();
    return complete;
}

bool FFmpegLibrary::LoadImages() {
    BMC_FFMPEG_LOAD("libswscale", LIBSWSCALE_VERSION_MAJOR, BMC_FFMPEG_IMAGE_FUNCTIONS)
    return complete;
}
#undef BMC_FFMPEG_LOAD
#undef BMC_FFMPEG_RESOLVE

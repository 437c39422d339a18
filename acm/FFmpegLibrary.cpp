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
// them too.
#define BMC_FFMPEG_RESOLVE(name)                                                                   \
    name = reinterpret_cast<decltype(name)>(dlsym(handle, #name));                                 \
    complete = complete && name != nullptr;

bool FFmpegLibrary::LoadSamples() {
    void* const handle = Open(SharedObject("libswresample", LIBSWRESAMPLE_VERSION_MAJOR));
    if (handle == nullptr)
        return false;
    bool complete = true;
    BMC_FFMPEG_SAMPLE_FUNCTIONS(BMC_FFMPEG_RESOLVE)
    // Damaged input and refused parameters are the callers' to report; the library's own
    // messages would only clutter the terminal of the command-line front end.
    if (complete)
        this->av_log_set_level(AV_LOG_QUIET);
    return complete;
}

bool FFmpegLibrary::LoadCodecs() {
    void* const handle = Open(SharedObject("libavcodec", LIBAVCODEC_VERSION_MAJOR));
    if (handle == nullptr)
        return false;
    bool complete = true;
    BMC_FFMPEG_CODEC_FUNCTIONS(BMC_FFMPEG_RESOLVE)
    return complete;
}

bool FFmpegLibrary::LoadFormats() {
    void* const handle = Open(SharedObject("libavformat", LIBAVFORMAT_VERSION_MAJOR));
    if (handle == nullptr)
        return false;
    bool complete = true;
    BMC_FFMPEG_FORMAT_FUNCTIONS(BMC_FFMPEG_RESOLVE)
    if (complete)
        LoadImages();
    return complete;
}

void FFmpegLibrary::LoadImages() {
    void* const handle = Open(SharedObject("libswscale", LIBSWSCALE_VERSION_MAJOR));
    if (handle == nullptr) {
        return;
    }
    bool complete = true;
    BMC_FFMPEG_IMAGE_FUNCTIONS(BMC_FFMPEG_RESOLVE)
    images_ = complete;
}
#undef BMC_FFMPEG_RESOLVE

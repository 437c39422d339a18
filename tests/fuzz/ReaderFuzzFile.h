#pragma once
// What the fuzz targets of the modules' FFmpeg readers share: those readers open files by path,
// so each input goes into one scratch file of the process first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

// The scratch file's path with data in it; empty when it cannot be written.
inline std::string ReaderFuzzFile(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-reader-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return std::string(name);
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return {};
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// Feeds mutated WMA files through the WMA module's reader: open, ask for the format and the
// duration, decode to the end.
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "codecs/wma/AsfAudioDecoder.h"

namespace {
std::string ScratchFile() {
    char path[] = "/tmp/fuzz-wma-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0)
        close(fd);
    return path;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchFile();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    auto decoder = AsfAudioDecoder::Open(path);
    if (!decoder)
        return 0;
    const WAVEFORMATEX format = decoder->OutputFormat();
    uint64_t bytes = 0;
    std::atomic<bool> stop = false;
    decoder->Run(
        [&](const uint8_t* pcm, uint32_t count, uint64_t) {
            bytes += count;
            if (count % format.nBlockAlign != 0 || (count != 0 && pcm == nullptr))
                __builtin_trap();
        },
        stop);
    return 0;
}

// Feeds mutated MP4 files through the MP4 module's reader: open, then decode to the end, checking
// that every delivery is whole sample frames of the announced format.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "codecs/mp4/Mp4AudioDecoder.h"

namespace {
std::string ScratchFile() {
    char path[] = "/tmp/fuzz-mp4-XXXXXX";
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
    auto decoder = Mp4AudioDecoder::Open(path);
    if (!decoder)
        return 0;
    const Mp4ReaderFormat format = decoder->Format();
    const uint32_t frame = format.channels * format.bitsPerSample / 8;
    std::vector<uint8_t> pcm(1 << 16);
    uint32_t bytes = 0;
    while (decoder->Read(pcm.data(), static_cast<uint32_t>(pcm.size()), &bytes) == Mp4Ok) {
        if (bytes == 0 || bytes % frame != 0)
            __builtin_trap();
    }
    return 0;
}

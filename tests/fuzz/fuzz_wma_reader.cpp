// Feeds mutated WMA files through the WMA module's reader: open, ask for the format and the
// duration, decode to the end.
#include <atomic>
#include <cstdint>

#include "ReaderFuzzFile.h"
#include "codecs/wma/AsfAudioDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ReaderFuzzFile(data, size);
    if (path.empty())
        return 0;
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

// Feeds mutated MP4 files through the MP4 module's reader: open, then decode to the end, checking
// that every delivery is whole sample frames of the announced format.
#include <cstdint>
#include <vector>

#include "ReaderFuzzFile.h"
#include "codecs/mp4/Mp4AudioDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ReaderFuzzFile(data, size);
    if (path.empty())
        return 0;
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

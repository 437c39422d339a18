// Arbitrary bytes as an Opus input, through the module's decoder entry points.
#include "StreamDecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return FuzzStreamDecoder(data, size);
}

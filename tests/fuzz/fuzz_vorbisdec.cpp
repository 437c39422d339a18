// Arbitrary bytes as a Vorbis input, through the module's decoder entry points.
#include "StreamDecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return FuzzStreamDecoder(data, size);
}

// A complete encoder module whose every chunk fails to encode.
#include <new>

#include "codecs/Mp3EncoderApi.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct Mp3EncoderStream {};

BMC_EXPORT uint32_t beInitStream(const Mp3EncoderConfig*, uint32_t* samplesPerChunk,
                                 uint32_t* outputBufferSize, Mp3EncoderHandle* stream) {
    *samplesPerChunk = 2304;
    *outputBufferSize = 8000;
    *stream = new Mp3EncoderStream;
    return Mp3EncOk;
}
BMC_EXPORT uint32_t beEncodeChunk(Mp3EncoderHandle, uint32_t, const int16_t*, uint8_t*,
                                  uint32_t* bytes) {
    *bytes = 0;
    return Mp3EncFailed;
}
BMC_EXPORT uint32_t beDeinitStream(Mp3EncoderHandle, uint8_t*, uint32_t* bytes) {
    *bytes = 0;
    return Mp3EncOk;
}
BMC_EXPORT uint32_t beCloseStream(Mp3EncoderHandle stream) {
    delete stream;
    return Mp3EncOk;
}
BMC_EXPORT void beVersion(Mp3EncoderVersion*) {}

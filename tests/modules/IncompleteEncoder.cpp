// An encoder module that lacks beVersion: it must never count as usable.
#include "codecs/Mp3EncoderApi.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

BMC_EXPORT uint32_t beInitStream(const Mp3EncoderConfig*, uint32_t*, uint32_t*, Mp3EncoderHandle*) {
    return Mp3EncFailed;
}
BMC_EXPORT uint32_t beEncodeChunk(Mp3EncoderHandle, uint32_t, const int16_t*, uint8_t*, uint32_t*) {
    return Mp3EncFailed;
}
BMC_EXPORT uint32_t beDeinitStream(Mp3EncoderHandle, uint8_t*, uint32_t*) {
    return Mp3EncFailed;
}
BMC_EXPORT uint32_t beCloseStream(Mp3EncoderHandle) {
    return Mp3EncFailed;
}

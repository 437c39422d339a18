// A decoder module that opens every file and then fails every decode without reaching the end.
#include "codecs/Mp3DecoderApi.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
struct Stuck : Mp3Decoder {
    Stuck() : Mp3Decoder{&in, &out} {}
    Mp3DecoderInputState in{0, 100};
    Mp3DecoderOutputState out{0, 2, 1, 44100};
};
} // namespace

BMC_EXPORT int decoder_new(Mp3Decoder** decoder) {
    *decoder = new Stuck;
    return Mp3DecOk;
}
BMC_EXPORT int file_input_module_register(Mp3InputModule*) {
    return Mp3DecOk;
}
BMC_EXPORT int decoder_input_module_register(Mp3Decoder*, const Mp3InputModule*) {
    return Mp3DecOk;
}
BMC_EXPORT int decoder_input_new(Mp3Decoder*, const char*, int) {
    return Mp3DecOk;
}
BMC_EXPORT int decoder_input_open(Mp3Decoder*) {
    return Mp3DecOk;
}
BMC_EXPORT int decoder_input_close(Mp3Decoder*) {
    return Mp3DecOk;
}
BMC_EXPORT int decoder_delete(Mp3Decoder* decoder) {
    delete static_cast<Stuck*>(decoder);
    return Mp3DecOk;
}
BMC_EXPORT int decoder_decode(Mp3Decoder*, void*) {
    return Mp3DecFailed;
}
BMC_EXPORT int decoder_input_seek_to_position(Mp3Decoder*, uint32_t, uint32_t) {
    return Mp3DecFailed;
}

// A decoder module that opens every file and then misbehaves, as a codec library might on a
// hostile input. Built twice: by default every decode fails without reaching the end of the
// input; with FAULTY_DECODER_CRASHES it decodes a few seconds of silence and then crashes.
#include <cstring>

#include "codecs/Mp3DecoderApi.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
struct Faulty : Mp3Decoder {
    Faulty() : Mp3Decoder{&in, &out} {}
    Mp3DecoderInputState in{0, 100};
    Mp3DecoderOutputState out{0, 2, 1, 44100};
    int decodes = 0;
};

#ifdef FAULTY_DECODER_CRASHES
// Read at run time, so the compiler cannot see that the write below goes nowhere.
int* volatile nowhere = nullptr;

constexpr int DecodesBeforeTheCrash = 400; // past the first blocks that reach the output
constexpr uint32_t BytesPerDecode = 4608;

int Decode(Faulty& decoder, void* pcm) {
    if (++decoder.decodes > DecodesBeforeTheCrash) {
        *nowhere = 1;
    }
    std::memset(pcm, 0, BytesPerDecode);
    decoder.out.byteCount = BytesPerDecode;
    return Mp3DecOk;
}
#else
int Decode(Faulty&, void*) {
    return Mp3DecFailed;
}
#endif
} // namespace

BMC_EXPORT int decoder_new(Mp3Decoder** decoder) {
    *decoder = new Faulty;
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
    delete static_cast<Faulty*>(decoder);
    return Mp3DecOk;
}
BMC_EXPORT int decoder_decode(Mp3Decoder* decoder, void* pcm) {
    return Decode(*static_cast<Faulty*>(decoder), pcm);
}
BMC_EXPORT int decoder_input_seek_to_position(Mp3Decoder*, uint32_t, uint32_t) {
    return Mp3DecFailed;
}

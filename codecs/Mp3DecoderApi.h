#pragma once
// The C interface of the MP3 decoder module (libbmc-mp3dec.so), shared by the module and the MP3
// source. Entry points return 0 on success; decoder_decode returns Mp3DecEndOfInput once the
// input is exhausted, Mp3DecInputBroken once it turned out incomplete or unreadable, and another
// non-zero value when a call produced nothing.
#include <cstdint>

inline constexpr int Mp3DecOk = 0;
inline constexpr int Mp3DecFailed = -1;
inline constexpr int Mp3DecEndOfInput = -514;
// The input ends before the length its Info frame gives, or a read failed: the stream ends
// there, incomplete.
inline constexpr int Mp3DecInputBroken = -516;

// decoder_decode never writes more than this many bytes in one call.
inline constexpr uint32_t Mp3DecMaxBytesPerDecode = 104858;

// Where the decoder stands in its input; both values in the same unit (bytes, scaled down for
// inputs beyond 2 GiB so that they fit a signed 32-bit progress value).
struct Mp3DecoderInputState {
    uint32_t position;
    uint32_t size;
};

// The PCM of the last successful decoder_decode call and its format.
struct Mp3DecoderOutputState {
    uint32_t byteCount;
    uint32_t bytesPerSample;
    uint32_t stereo; // 0 mono, 1 stereo
    uint32_t sampleRate;
};

// The record a decoder handle points to; owned by the module, read by the caller.
struct Mp3Decoder {
    Mp3DecoderInputState* input;
    Mp3DecoderOutputState* output;
};

// Describes an input module: where a decoder reads its bytes from.
struct Mp3InputModule {
    uint32_t kind; // Mp3InputKindFile
    const char* name;
};

inline constexpr uint32_t Mp3InputKindFile = 1;
inline constexpr int Mp3InputModuleAuto = -1;

extern "C" {
using decoder_new_fn = int (*)(Mp3Decoder** decoder);
using file_input_module_register_fn = int (*)(Mp3InputModule* module);
using decoder_input_module_register_fn = int (*)(Mp3Decoder* decoder, const Mp3InputModule* module);
using decoder_input_new_fn = int (*)(Mp3Decoder* decoder, const char* path, int moduleId);
using decoder_input_open_fn = int (*)(Mp3Decoder* decoder);
using decoder_input_close_fn = int (*)(Mp3Decoder* decoder);
using decoder_delete_fn = int (*)(Mp3Decoder* decoder);
// Writes at most Mp3DecMaxBytesPerDecode bytes of interleaved PCM at pcm.
using decoder_decode_fn = int (*)(Mp3Decoder* decoder, void* pcm);
// Seeks to offset / range of the input.
using decoder_input_seek_to_position_fn = int (*)(Mp3Decoder* decoder, uint32_t offset,
                                                  uint32_t range);
}

inline constexpr const char* Mp3DecoderEntryPoints[] = {"decoder_new",
                                                        "file_input_module_register",
                                                        "decoder_input_module_register",
                                                        "decoder_input_new",
                                                        "decoder_input_open",
                                                        "decoder_input_close",
                                                        "decoder_delete",
                                                        "decoder_decode",
                                                        "decoder_input_seek_to_position"};

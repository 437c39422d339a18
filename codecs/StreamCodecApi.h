#pragma once
// The entry points of the codec modules that encode and decode a whole stream of PCM through a
// file descriptor: one module per format (the Xiph.Org formats), all exporting these names. A
// module never opens or closes the descriptor it is given; the core owns it.
#include <cstdint>

extern "C" {

struct StreamEncoder;
struct StreamDecoder;

// The PCM passed in and out: interleaved, little-endian.
enum StreamSampleKind : uint16_t {
    StreamInt16 = 16,   // signed 16-bit
    StreamInt24 = 24,   // signed 24-bit packed in three bytes
    StreamFloat32 = 32, // 32-bit float, full scale ±1
};

struct StreamEncoderConfig {
    uint32_t sampleRate; // of the PCM written
    uint16_t channels;
    uint16_t sampleKind; // a StreamSampleKind
    // The format's one setting (a compression level, a bit rate in kbit/s, a quality).
    int32_t setting;
    // The rate the stream records as its source's where that differs from sampleRate (the core
    // resampled to the only rate the format encodes at); 0: sampleRate.
    uint32_t sourceRate;
};

struct StreamInfo {
    uint32_t sampleRate; // of the PCM read
    uint16_t channels;
    uint16_t sampleKind; // a StreamSampleKind
};

// 0 on success; the encoder then writes from the descriptor's start. On failure *encoder is
// null. These three return StreamWriteRefused(errno) when the descriptor refused a write.
using stream_encoder_open_fn = int (*)(int fd, const StreamEncoderConfig* config,
                                       StreamEncoder** encoder);
// frames sample frames of the configured kind; 0 when all were taken.
using stream_encoder_write_fn = int (*)(StreamEncoder* encoder, const void* pcm, uint32_t frames);
// Ends the stream and frees the encoder; 0 when the whole stream was written.
using stream_encoder_finish_fn = int (*)(StreamEncoder* encoder);

// 0 when fd holds a stream of the module's format; *info describes what reading delivers.
using stream_decoder_open_fn = int (*)(int fd, StreamDecoder** decoder, StreamInfo* info);
// Up to maxFrames sample frames into pcm: the count read, 0 at the stream's proper end, below 0
// when the stream is broken, cut short or otherwise unreadable.
using stream_decoder_read_fn = int32_t (*)(StreamDecoder* decoder, void* pcm, uint32_t maxFrames);
// Bytes of the descriptor consumed so far, and its size.
using stream_decoder_position_fn = void (*)(StreamDecoder* decoder, uint64_t* done,
                                            uint64_t* total);
using stream_decoder_close_fn = void (*)(StreamDecoder* decoder);
// Optional, exported by modules whose format seeks sample-exactly: the next read starts at sample
// frame `frame` of the stream. 0 on success; otherwise the decoder reads nothing more.
using stream_decoder_seek_fn = int (*)(StreamDecoder* decoder, uint64_t frame);
}

inline constexpr int StreamOk = 0;
inline constexpr int StreamFailed = 1;
// Below 0: the descriptor refused a write (a full disk); minus that write's errno.
inline constexpr int StreamWriteRefused(int error) {
    return -error;
}
inline constexpr int StreamRefusedErrno(int status) {
    return status < 0 ? -status : 0;
}

inline constexpr const char* StreamCodecEntryPoints[] = {
    "stream_encoder_open", "stream_encoder_write", "stream_encoder_finish",
    "stream_decoder_open", "stream_decoder_read",  "stream_decoder_position",
    "stream_decoder_close"};

inline uint32_t StreamSampleBytes(uint16_t kind) {
    return kind / 8u;
}

#pragma once
// The C interface of the MP4 audio module (libbmc-mp4.so), shared by the module, the M4A sink and
// the M4A source: AAC and ALAC in an MP4 file, written and read. Entry points that return int give
// Mp4Ok on success.
#include <cstdint>

#include "engine/WaveFormat.h"

inline constexpr int Mp4Ok = 0;
inline constexpr int Mp4Failed = -1;
// The reader has delivered every sample of the file.
inline constexpr int Mp4EndOfInput = 1;
// The file turned out damaged or cut short after it opened: what was delivered is all there is.
inline constexpr int Mp4InputBroken = -2;
// Above 0 from a writer's entry point: the file refused a write (a full disk); the value is that
// write's errno.
inline constexpr int Mp4RefusedErrno(int status) {
    return status > 0 ? status : 0;
}

enum Mp4Codec : uint32_t { Mp4CodecAac = 1, Mp4CodecAlac = 2 };

struct Mp4WriterRequest {
    uint32_t codec;      // Mp4Codec
    uint32_t bitRate;    // bit/s, AAC only
    uint32_t sampleRate; // Hz; 0 keeps the input's rate
    uint32_t channels;   // 0 keeps the input's channel count
};

// The sample size ALAC encodes PCM in input with: 16 bits, or 24 (held in 32-bit samples) for
// anything deeper or in floats.
inline uint16_t Mp4AlacSampleBits(const WAVEFORMATEX& input) {
    return input.wFormatTag == WAVE_FORMAT_IEEE_FLOAT || input.wBitsPerSample > 16 ? 24 : 16;
}

// The PCM a reader delivers: interleaved, integer, little-endian.
struct Mp4ReaderFormat {
    uint32_t codec; // Mp4Codec
    uint32_t channels;
    uint32_t sampleRate;
    uint32_t bitsPerSample; // 16 or 24
};

// Where the audio lies in a finished AAC file's decoded frames: after priming frames, followed by
// padding frames, length frames long.
struct Mp4Gapless {
    uint32_t priming;
    uint32_t padding;
    uint64_t length;
};

struct Mp4Writer;
struct Mp4Reader;

extern "C" {
// Accepts the formats and creates the file at path; nothing is created when a format is refused.
using Mp4WriterOpenFn = int (*)(const char* path, const WAVEFORMATEX* input,
                                const Mp4WriterRequest* request, Mp4Writer** writer);
// PCM in the input format, any byte count (a sample frame split between calls is joined).
using Mp4WriterWriteFn = int (*)(Mp4Writer* writer, const void* data, uint32_t byteCount);
// Encodes what is held back and completes the file.
using Mp4WriterFinishFn = int (*)(Mp4Writer* writer);
// Optional: after a successful finish, the AAC file's gapless record; Mp4Failed for ALAC, which
// has no priming.
using Mp4WriterGaplessFn = int (*)(Mp4Writer* writer, Mp4Gapless* gapless);
// Releases the writer; a writer never finished leaves an incomplete file.
using Mp4WriterCloseFn = void (*)(Mp4Writer* writer);

// Mp4Failed when path is no MP4 file holding AAC or ALAC audio.
using Mp4ReaderOpenFn = int (*)(const char* path, Mp4ReaderFormat* format, Mp4Reader** reader);
// Writes up to capacity bytes (whole sample frames) of PCM; Mp4EndOfInput or Mp4InputBroken when
// nothing more will come.
using Mp4ReaderReadFn = int (*)(Mp4Reader* reader, uint8_t* pcm, uint32_t capacity,
                                uint32_t* bytes);
// Where the reader stands in its file, in bytes.
using Mp4ReaderProgressFn = void (*)(Mp4Reader* reader, uint64_t* position, uint64_t* size);
using Mp4ReaderCloseFn = void (*)(Mp4Reader* reader);
}

inline constexpr const char* Mp4WriterEntryPoints[] = {"Mp4WriterOpen", "Mp4WriterWrite",
                                                       "Mp4WriterFinish", "Mp4WriterClose"};
inline constexpr const char* Mp4WriterGaplessEntryPoint = "Mp4WriterGapless";
inline constexpr const char* Mp4ReaderEntryPoints[] = {"Mp4ReaderOpen", "Mp4ReaderRead",
                                                       "Mp4ReaderProgress", "Mp4ReaderClose"};

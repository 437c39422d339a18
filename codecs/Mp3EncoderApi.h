#pragma once
// The C interface of the MP3 encoder module (libbmc-mp3enc.so), shared by the module and the MP3
// sink. Every entry point returns 0 on success and a non-zero Mp3EncoderResult otherwise.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// A variable bit rate's quality that asks for the constant bitRate instead.
inline constexpr uint8_t Mp3ConstantBitRate = 0xff;

// The stream configuration, 28 bytes, packed, little-endian.
struct Mp3EncoderConfig {
    uint32_t kind;       // Mp3EncoderKindMp3
    uint32_t sampleRate; // Hz, both of the input PCM and of the MP3 stream
    uint8_t mode;        // Mp3EncoderMode
    uint16_t bitRate;    // kbit/s, constant
    int32_t privateBit;  // MPEG header flags
    int32_t crc;
    int32_t copyright;
    int32_t original;
    // LAME's -V quality 0 (best) to 9 of a variable bit rate, which bitRate then does not set.
    uint8_t vbrQuality = Mp3ConstantBitRate;
};
#pragma pack(pop)

static_assert(sizeof(Mp3EncoderConfig) == 28);
static_assert(offsetof(Mp3EncoderConfig, mode) == 8);
static_assert(offsetof(Mp3EncoderConfig, bitRate) == 9);
static_assert(offsetof(Mp3EncoderConfig, privateBit) == 11);
static_assert(offsetof(Mp3EncoderConfig, original) == 23);
static_assert(offsetof(Mp3EncoderConfig, vbrQuality) == 27);

inline constexpr uint32_t Mp3EncoderKindMp3 = 0;

enum Mp3EncoderMode : uint8_t {
    Mp3ModeStereo = 0,
    Mp3ModeJointStereo = 1,
    Mp3ModeDualChannel = 2,
    Mp3ModeMono = 3,
};

enum Mp3EncoderResult : uint32_t {
    Mp3EncOk = 0,
    Mp3EncBadConfig = 1,
    Mp3EncBadStream = 2,
    Mp3EncNoMemory = 3,
    Mp3EncFailed = 4,
};

struct Mp3EncoderVersion {
    uint8_t moduleMajor;
    uint8_t moduleMinor;
    uint8_t engineMajor;
    uint8_t engineMinor;
};

struct Mp3EncoderStream;
using Mp3EncoderHandle = Mp3EncoderStream*;

extern "C" {
// Opens a stream. samplesPerChunk counts 16-bit samples over all channels; outputBufferSize is
// the size of the buffer every later call writes MP3 bytes into.
using beInitStreamFn = uint32_t (*)(const Mp3EncoderConfig* config, uint32_t* samplesPerChunk,
                                    uint32_t* outputBufferSize, Mp3EncoderHandle* stream);
// Encodes interleaved 16-bit samples (any count up to samplesPerChunk, a whole number of
// frames); bytes receives the count of MP3 bytes written to output.
using beEncodeChunkFn = uint32_t (*)(Mp3EncoderHandle stream, uint32_t sampleCount,
                                     const int16_t* samples, uint8_t* output, uint32_t* bytes);
// Ends the stream: writes its final MP3 bytes.
using beDeinitStreamFn = uint32_t (*)(Mp3EncoderHandle stream, uint8_t* output, uint32_t* bytes);
using beCloseStreamFn = uint32_t (*)(Mp3EncoderHandle stream);
using beVersionFn = void (*)(Mp3EncoderVersion* version);
// Optional: after beDeinitStream, the Info tag frame (encoder delay, padding, length) that
// replaces the placeholder frame at the very start of the stream. bytes is 0 when the stream
// has no such frame; the caller overwrites the first bytes of its file with it.
using beInfoTagFrameFn = uint32_t (*)(Mp3EncoderHandle stream, uint8_t* output, uint32_t outputSize,
                                      uint32_t* bytes);
}

// The names a usable module exports; the Info tag entry point is used when present.
inline constexpr const char* Mp3EncoderEntryPoints[] = {
    "beInitStream", "beEncodeChunk", "beDeinitStream", "beCloseStream", "beVersion"};
inline constexpr const char* Mp3EncoderInfoTagEntryPoint = "beInfoTagFrame";

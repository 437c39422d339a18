#pragma once
// Encodes interleaved PCM into wmav2 and writes it into an ASF file.
#include <cstdint>
#include <memory>
#include <string>

#include "codecs/ffmpeg/FfmpegAudioWriter.h"
#include "engine/WaveFormat.h"

struct WmaOutputRequest {
    uint32_t bitRate;    // bit/s
    uint32_t sampleRate; // Hz; 0 keeps the input's rate
    uint32_t channels;
};

class AsfAudioEncoder {
public:
    // Creates the file at path once the formats are known to encode. Null when they cannot be
    // encoded (no file is created then) or the file cannot be created or refused its header
    // (refusedErrno is then that write's errno).
    static std::unique_ptr<AsfAudioEncoder> Open(const std::string& path, const WAVEFORMATEX& input,
                                                 const WmaOutputRequest& request,
                                                 int& refusedErrno);
    AsfAudioEncoder(const AsfAudioEncoder&) = delete;
    AsfAudioEncoder& operator=(const AsfAudioEncoder&) = delete;

    // Whole samples in the input format.
    bool Write(const uint8_t* data, uint32_t sampleCount);
    // Encodes what is held back, pads the last frame and completes the file.
    bool Finish();
    // The errno of the write the file refused, once one was; 0 while none was.
    int RefusedWriteErrno() const { return writer_.RefusedWriteErrno(); }

private:
    AsfAudioEncoder() = default;
    bool OpenCodec(const WAVEFORMATEX& input, const WmaOutputRequest& request);

    FfmpegAudioWriter writer_;
};

#pragma once
// Encodes interleaved PCM into wmav2 and writes it into an ASF file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/wma/FfmpegHandles.h"
#include "engine/WaveFormat.h"

struct WmaOutputRequest {
    uint32_t bitRate;    // bit/s
    uint32_t sampleRate; // Hz; 0 keeps the input's rate
    uint32_t channels;
};

class AsfAudioEncoder {
public:
    // Creates the file at path once the formats are known to encode. Null when they cannot be
    // encoded (no file is created then) or the file cannot be created.
    static std::unique_ptr<AsfAudioEncoder> Open(const std::string& path, const WAVEFORMATEX& input,
                                                 const WmaOutputRequest& request);
    AsfAudioEncoder(const AsfAudioEncoder&) = delete;
    AsfAudioEncoder& operator=(const AsfAudioEncoder&) = delete;

    // Whole samples in the input format.
    bool Write(const uint8_t* data, uint32_t sampleCount);
    // Encodes what is held back, pads the last frame and completes the file.
    bool Finish();

private:
    AsfAudioEncoder() = default;
    bool OpenCodec(const WmaOutputRequest& request);
    bool OpenResampler();
    bool OpenStream(const std::string& path);
    bool Convert(const uint8_t** input, int sampleCount);
    bool EncodeFullFrames();
    bool EncodeFrame();
    bool Drain(const AVFrame* frame);
    const uint8_t* Unpack24(const uint8_t* data, uint32_t sampleCount);

    OutputContextPtr output_;
    CodecContextPtr encoder_;
    SwrPtr resampler_;
    AudioFifoPtr fifo_;
    FramePtr frame_;
    PacketPtr packet_;
    WAVEFORMATEX input_{};
    int frameSize_ = 0;
    int64_t samplesEncoded_ = 0;
    std::vector<uint8_t*> planes_;
    std::vector<float> converted_;
    std::vector<int32_t> unpacked_;
};

#pragma once
// The source for RIFF WAVE files: PCM passes through unchanged, every other format is decoded to
// 16-bit PCM of the file's own rate and channel count. Delivers three seconds per Pump.
#include <cstdint>
#include <memory>
#include <vector>

#include "sinks/CLFILEOUT.h"
#include "engine/CLReadDecodeBase.h"
#include "engine/ConversionError.h"
#include "engine/WaveFormat.h"
#include "acm/Acm.h"
#include "system/UniqueFd.h"

class CLReadDecodeWave : public CLReadDecodeBase {
public:
    CLReadDecodeWave(const char* inputPath, ConversionError& code);
    ~CLReadDecodeWave() override;

    bool Pump() override;
    // Bytes of the data chunk, scaled down by a power of two when the total passes int32.
    void GetProgress(int32_t progress[2]) override;

private:
    struct StreamCloser {
        void operator()(AcmStream* stream) const { acmStreamClose(stream, 0); }
    };
    using StreamHandle = std::unique_ptr<AcmStream, StreamCloser>;

    ConversionError Open(const char* inputPath);
    ConversionError OpenDecoder(const std::vector<uint8_t>& fileFormat);
    void PumpPcm();
    void PumpCompressed();
    // Decodes the compressed buffer's first `count` bytes into the sink; returns the bytes the
    // decoder left unconsumed at the end of them.
    uint32_t Decode(uint32_t count, bool last);
    // Reads up to `count` bytes of the data chunk; a short read ends the stream.
    uint32_t ReadData(uint8_t* into, uint32_t count);

    // Members are destroyed bottom-up: the sink first (finalising the output), the input last.
    uint32_t dataSize_ = 0;
    uint32_t bytesRead_ = 0;
    UniqueFd input_;
    WAVEFORMATEX delivered_{};
    uint32_t bytesRemaining_ = 0;
    uint64_t dataOffset_ = 0;
    std::unique_ptr<uint8_t[]> compressed_;
    uint32_t compressedSize_ = 0;
    uint32_t carried_ = 0;
    bool firstConversion_ = true;
    bool drained_ = false;
    StreamHandle stream_;
    std::unique_ptr<uint8_t[]> pcm_;
    uint32_t pcmSize_ = 0;
    std::unique_ptr<CLFILEOUT> sink_;
};

#pragma once
// The source for RIFF WAVE files (and their 64-bit forms RF64 and BW64): PCM passes through
// unchanged, every other format is decoded to 16-bit PCM of the file's own rate and channel
// count. Delivers three seconds per Pump. An input that ends before its header says, fails to
// read or decodes to nothing converts as far as it goes and raises InputError (ceRead).
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "acm/WaveFormatConversion.h"
#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "sinks/OutputSink.h"
#include "system/UniqueFd.h"

class WaveSource : public AudioSource {
public:
    WaveSource(const char* inputPath, const RowContext& row, ConversionError& code);
    ~WaveSource() override;

    bool Pump() override;
    // Bytes of the data chunk, scaled down by a power of two when the total passes int32.
    void GetProgress(int32_t progress[2]) override;

private:
    ConversionError Open(const char* inputPath, const RowContext& row);
    // Starts a row's part of plain PCM at its first sample frame: the data is read from there.
    void SeekPart(const RowContext& row);
    ConversionError OpenDecoder(const std::vector<uint8_t>& fileFormat);
    void PumpPcm();
    void PumpCompressed();
    // Decodes the compressed buffer's first `count` bytes into the sink; returns the bytes the
    // decoder left unconsumed at the end of them.
    uint32_t Decode(uint32_t count, bool last);
    // Reads up to `count` bytes of the data chunk; a short read ends the stream as failed.
    uint32_t ReadData(uint8_t* into, uint32_t count);
    void Deliver(const uint8_t* pcm, uint32_t count);
    // Once the stream has ended: an input that was not read whole is a read failure.
    void Finish();

    // Members are destroyed bottom-up: the sink first (finalising the output), the input last.
    RowResult& result_;
    const JobEnvironment::ReadFunction read_;
    uint64_t dataSize_ = 0;
    uint64_t bytesRead_ = 0;
    UniqueFd input_;
    WAVEFORMATEX delivered_{};
    uint64_t bytesRemaining_ = 0;
    uint64_t dataOffset_ = 0;
    bool truncated_ = false; // the header promised more than the file holds
    bool failed_ = false;    // a read failed
    bool finished_ = false;
    uint64_t pcmDelivered_ = 0;
    std::unique_ptr<uint8_t[]> compressed_;
    uint32_t compressedSize_ = 0;
    uint32_t carried_ = 0;
    bool firstConversion_ = true;
    bool drained_ = false;
    WaveFormatConversion decoder_;
    std::unique_ptr<uint8_t[]> pcm_;
    uint32_t pcmSize_ = 0;
    std::unique_ptr<OutputSink> sink_;
};

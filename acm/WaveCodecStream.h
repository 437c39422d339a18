#pragma once
// What one wave format conversion runs on: a coded format to linear samples of its own rate and
// channel count (decoder), linear samples to a writable coded format of the same rate and channel
// count (encoder), or linear to linear of any rate, channels and sample size (libswresample).
// Output that does not fit the caller's room waits for the next call.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "acm/ParsedWaveFormat.h"
#include "acm/Resampler.h"
#include "acm/WaveFormatConversion.h"
#include "acm/WaveFormatDecoder.h"
#include "acm/WaveFormatEncoder.h"

class WaveCodecStream {
public:
    // Null when there is no one-step conversion between the formats.
    static std::unique_ptr<WaveCodecStream> Open(const ParsedWaveFormat& source,
                                                 const ParsedWaveFormat& destination);

    // Destination bytes for count source bytes (an upper bound), or source bytes (whole blocks,
    // at least one) that yield at most count destination bytes. Nothing when out of range.
    std::optional<uint32_t> DestinationBytesFor(uint32_t count) const;
    std::optional<uint32_t> SourceBytesFor(uint32_t count) const;

    // start and end as WaveConversionMarks tells.
    WaveConversionUsed Convert(const uint8_t* source, uint32_t sourceLength, uint8_t* destination,
                               uint32_t room, bool start, bool end);

private:
    WaveCodecStream(const ParsedWaveFormat& source, const ParsedWaveFormat& destination);
    bool Build();
    SampleShape Target() const;
    uint32_t Consumable(uint32_t count, bool end) const;
    void Process(const uint8_t* data, uint32_t count);
    void ProcessLinear(const uint8_t* data, uint32_t count);
    void OnFrame(const AVFrame& frame);
    void Deliver(const uint8_t* const* planes, int count);
    void Drain();
    uint32_t Emit(uint8_t* destination, uint32_t room);
    uint32_t Pending() const { return static_cast<uint32_t>(pending_.size() - emitted_); }
    uint32_t OutputUnit() const;

    ParsedWaveFormat source_;
    ParsedWaveFormat destination_;
    std::unique_ptr<WaveFormatDecoder> decoder_;
    std::unique_ptr<WaveFormatEncoder> encoder_;
    std::unique_ptr<Resampler> resampler_;
    std::vector<int32_t> widened_; // packed 24-bit input as 32-bit samples
    std::vector<uint8_t> pending_; // converted bytes not yet handed out
    size_t emitted_ = 0;
    bool used_ = false;
    bool drained_ = false;
};

#pragma once
// One conversion between two wave formats, over FFmpeg: a coded format (IMA ADPCM, A-law,
// GSM 6.10...) to PCM of its own rate and channel count, PCM to a writable coded format of the
// same rate and channel count, or PCM to PCM of any rate, channel count and sample size. Anything
// else is not possible in one step, so callers go through PCM.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

class WaveCodecStream;

enum class WaveConversionResult {
    Opened,
    NotPossible,     // no conversion here between the formats
    MalformedSource, // the source record contradicts itself: no data can match it
};

// start: a new stream begins (what an earlier one left is dropped); end: the source ends with
// this call, so a partial block is converted (padded where the codec needs whole blocks) and
// everything held back comes out, as far as the room allows.
struct WaveConversionMarks {
    bool start = false;
    bool end = false;
};

// The bytes a call took from its source and wrote to its destination.
struct WaveConversionUsed {
    uint32_t source = 0;
    uint32_t destination = 0;
};

class WaveFormatConversion {
public:
    // Each record is a WAVEFORMATEX and its cbSize extra bytes; a cbSize that claims more bytes
    // than the span holds is refused instead of read past its end, and 16 bytes mean a record
    // without cbSize. Empty (false) unless result says Opened.
    static WaveFormatConversion Open(std::span<const uint8_t> source,
                                     std::span<const uint8_t> destination,
                                     WaveConversionResult* result = nullptr);

    WaveFormatConversion();
    WaveFormatConversion(WaveFormatConversion&&) noexcept;
    WaveFormatConversion& operator=(WaveFormatConversion&&) noexcept;
    ~WaveFormatConversion();

    explicit operator bool() const { return stream_ != nullptr; }

    // The destination bytes that sourceBytes can yield (an upper bound), and the source bytes
    // (whole blocks, at least one) that yield at most destinationBytes. Nothing when the figure
    // is out of range.
    std::optional<uint32_t> DestinationBytesFor(uint32_t sourceBytes) const;
    std::optional<uint32_t> SourceBytesFor(uint32_t destinationBytes) const;

    // Converts whole blocks of source into destination. Output that does not fit waits for the
    // next call, which then takes no input until it is out.
    WaveConversionUsed Convert(std::span<const uint8_t> source, std::span<uint8_t> destination,
                               WaveConversionMarks marks = {});

private:
    explicit WaveFormatConversion(std::unique_ptr<WaveCodecStream> stream);

    std::unique_ptr<WaveCodecStream> stream_;
};

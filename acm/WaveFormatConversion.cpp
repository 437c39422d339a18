#include "acm/WaveFormatConversion.h"

#include <algorithm>
#include <limits>

#include "acm/ParsedWaveFormat.h"
#include "acm/WaveCodecStream.h"

namespace {
uint32_t Length(size_t size) {
    return static_cast<uint32_t>(std::min<size_t>(size, std::numeric_limits<uint32_t>::max()));
}
} // namespace

WaveFormatConversion WaveFormatConversion::Open(std::span<const uint8_t> source,
                                                std::span<const uint8_t> destination,
                                                WaveConversionResult* result) {
    bool sourceMalformed = false;
    const auto from = ParseWaveFormat(source.data(), source.size(), &sourceMalformed);
    const auto to = ParseWaveFormat(destination.data(), destination.size());
    WaveFormatConversion opened;
    // Data described by a record that contradicts itself cannot be read as described, where a
    // sound record without a codec is merely not possible here.
    auto outcome =
        sourceMalformed ? WaveConversionResult::MalformedSource : WaveConversionResult::NotPossible;
    if (from && to) {
        if (auto stream = WaveCodecStream::Open(*from, *to)) {
            opened = WaveFormatConversion(std::move(stream));
            outcome = WaveConversionResult::Opened;
        }
    }
    if (result)
        *result = outcome;
    return opened;
}

WaveFormatConversion::WaveFormatConversion() = default;
WaveFormatConversion::WaveFormatConversion(std::unique_ptr<WaveCodecStream> stream)
    : stream_(std::move(stream)) {}
WaveFormatConversion::WaveFormatConversion(WaveFormatConversion&&) noexcept = default;
WaveFormatConversion& WaveFormatConversion::operator=(WaveFormatConversion&&) noexcept = default;
WaveFormatConversion::~WaveFormatConversion() = default;

std::optional<uint32_t> WaveFormatConversion::DestinationBytesFor(uint32_t sourceBytes) const {
    return stream_ ? stream_->DestinationBytesFor(sourceBytes) : std::nullopt;
}

std::optional<uint32_t> WaveFormatConversion::SourceBytesFor(uint32_t destinationBytes) const {
    return stream_ ? stream_->SourceBytesFor(destinationBytes) : std::nullopt;
}

WaveConversionUsed WaveFormatConversion::Convert(std::span<const uint8_t> source,
                                                 std::span<uint8_t> destination,
                                                 WaveConversionMarks marks) {
    if (!stream_)
        return {};
    return stream_->Convert(source.data(), Length(source.size()), destination.data(),
                            Length(destination.size()), marks.start, marks.end);
}

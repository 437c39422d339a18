#include "sinks/AudioTap.h"

#include <cstring>

AudioTap::AudioTap(const WAVEFORMATEX& input, AudioObserver& observer)
    : observer_(observer), floats_(MakeFloatFormat(input.nChannels, input.nSamplesPerSec)) {
    bool failed = true;
    converter_ = std::make_unique<PcmFormatConverter>(&input, &floats_, failed);
    if (failed || floats_.nBlockAlign == 0)
        converter_.reset();
}

void AudioTap::Take(const void* data, uint32_t byteCount) {
    if (!converter_)
        return;
    uint32_t count = byteCount;
    const auto converted = converter_->Convert(data, byteCount, count);
    if (converter_->Failed()) {
        converter_.reset();
        return;
    }
    Hand(converted ? converted.get() : static_cast<const uint8_t*>(data), count);
}

void AudioTap::End(RowValues& values) {
    if (!converter_)
        return;
    uint32_t count = 0;
    if (const auto rest = converter_->Flush(count))
        Hand(rest.get(), count);
    if (!converter_->Failed())
        observer_.End(values);
    converter_.reset();
}

void AudioTap::Hand(const uint8_t* bytes, uint32_t count) {
    const uint32_t frameBytes = floats_.nBlockAlign;
    const auto* samples = reinterpret_cast<const float*>(bytes);
    std::vector<float> joined;
    // Only a float input that passed unconverted can come in pieces of a frame, or unaligned.
    if (!partial_.empty() || count % frameBytes != 0 ||
        reinterpret_cast<uintptr_t>(bytes) % alignof(float) != 0) {
        partial_.insert(partial_.end(), bytes, bytes + count);
        count = static_cast<uint32_t>(partial_.size() - partial_.size() % frameBytes);
        joined.resize(count / sizeof(float));
        std::memcpy(joined.data(), partial_.data(), count);
        partial_.erase(partial_.begin(), partial_.begin() + count);
        samples = joined.data();
    }
    if (count == 0)
        return;
    observer_.Block({samples, count / frameBytes, floats_.nChannels, floats_.nSamplesPerSec});
}

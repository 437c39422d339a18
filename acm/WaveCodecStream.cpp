#include "acm/WaveCodecStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
constexpr uint64_t kMaxSize = std::numeric_limits<uint32_t>::max() / 2;

void Widen24(const uint8_t* in, size_t samples, std::vector<int32_t>& out) {
    out.resize(samples);
    for (size_t i = 0; i < samples; ++i, in += 3)
        out[i] = static_cast<int32_t>(static_cast<uint32_t>(in[0]) << 8 |
                                      static_cast<uint32_t>(in[1]) << 16 |
                                      static_cast<uint32_t>(in[2]) << 24);
}

void Narrow24(const uint8_t* in, size_t samples, std::vector<uint8_t>& out) {
    const size_t at = out.size();
    out.resize(at + samples * 3);
    uint8_t* o = out.data() + at;
    for (size_t i = 0; i < samples; ++i, in += 4, o += 3) {
        o[0] = in[1];
        o[1] = in[2];
        o[2] = in[3];
    }
}

SampleShape ShapeOf(const ParsedWaveFormat& f) {
    return {f.sampleFormat, f.Channels(), static_cast<int>(f.Rate())};
}
} // namespace

std::unique_ptr<WaveCodecStream> WaveCodecStream::Open(const ParsedWaveFormat& source,
                                                       const ParsedWaveFormat& destination) {
    const bool decode = !source.linear && destination.linear && source.SameShape(destination);
    const bool encode = source.linear && !destination.linear && source.SameShape(destination);
    const bool resample = source.linear && destination.linear;
    if (!decode && !encode && !resample)
        return nullptr;
    std::unique_ptr<WaveCodecStream> s(new WaveCodecStream(source, destination));
    if (!s->Build())
        return nullptr;
    return s;
}

WaveCodecStream::WaveCodecStream(const ParsedWaveFormat& source,
                                 const ParsedWaveFormat& destination)
    : source_(source), destination_(destination) {}

SampleShape WaveCodecStream::Target() const {
    if (encoder_)
        return {encoder_->InputFormat(), destination_.Channels(),
                static_cast<int>(destination_.Rate())};
    return ShapeOf(destination_);
}

bool WaveCodecStream::Build() {
    decoder_.reset();
    encoder_.reset();
    resampler_.reset();
    pending_.clear();
    emitted_ = 0;
    used_ = false;
    drained_ = false;
    if (!source_.linear) {
        decoder_ = WaveFormatDecoder::Open(source_);
        return decoder_ != nullptr; // its resampler follows the frames it decodes
    }
    if (!destination_.linear) {
        encoder_ = WaveFormatEncoder::Open({destination_.tag, destination_.Channels(),
                                            destination_.Rate(), destination_.BlockAlign()});
        if (!encoder_)
            return false;
        // What follows the record must be what the encoder writes (samples per block, the
        // coefficient table), or other programs would decode the file wrongly.
        if (!destination_.extra.empty() && destination_.extra != encoder_->Extra())
            return false;
    }
    const SampleShape in = ShapeOf(source_);
    const SampleShape out = Target();
    if (in.format != out.format || in.channels != out.channels || in.rate != out.rate) {
        resampler_ = Resampler::Create(in, out);
        return resampler_ != nullptr;
    }
    return true;
}

uint32_t WaveCodecStream::OutputUnit() const {
    return destination_.BlockAlign();
}

std::optional<uint32_t> WaveCodecStream::DestinationBytesFor(uint32_t count) const {
    uint64_t frames = decoder_ ? decoder_->FramesFor(count) : count / source_.BlockAlign();
    if (frames > kMaxSize)
        return std::nullopt;
    if (source_.Rate() != destination_.Rate()) {
        const int64_t held = resampler_ ? resampler_->MaxOutput(0) : 64;
        frames = frames * destination_.Rate() / source_.Rate() + 1 + static_cast<uint64_t>(held);
    }
    const uint64_t total =
        (encoder_ ? encoder_->BytesFor(frames) : frames * destination_.BlockAlign()) + Pending();
    if (total > kMaxSize)
        return std::nullopt;
    return static_cast<uint32_t>(total);
}

std::optional<uint32_t> WaveCodecStream::SourceBytesFor(uint32_t count) const {
    uint64_t frames = encoder_ ? encoder_->FramesFor(count) : count / destination_.BlockAlign();
    if (source_.Rate() != destination_.Rate())
        frames = frames * source_.Rate() / destination_.Rate();
    const uint64_t total = decoder_ ? decoder_->BytesFor(frames)
                                    : std::max<uint64_t>(frames, 1) * source_.BlockAlign();
    if (total > kMaxSize)
        return std::nullopt;
    return static_cast<uint32_t>(total);
}

uint32_t WaveCodecStream::Consumable(uint32_t count, bool end) const {
    if (decoder_)
        return decoder_->Consumable(count, end);
    if (end)
        return count; // a partial sample frame at the very end cannot be converted: dropped
    uint32_t frames = count / source_.BlockAlign();
    if (encoder_ && encoder_->FrameSize() > 0)
        frames -= frames % static_cast<uint32_t>(encoder_->FrameSize());
    return frames * source_.BlockAlign();
}

void WaveCodecStream::Deliver(const uint8_t* const* planes, int count) {
    if (count <= 0)
        return;
    if (encoder_) {
        encoder_->Encode(planes, count, pending_);
        return;
    }
    const size_t samples = static_cast<size_t>(count) * destination_.Channels();
    if (destination_.containerBytes == 3) {
        Narrow24(planes[0], samples, pending_);
        return;
    }
    // Linear samples other than 24-bit ones fill their container exactly.
    const size_t bytes = samples * destination_.containerBytes;
    pending_.insert(pending_.end(), planes[0], planes[0] + bytes);
}

void WaveCodecStream::ProcessLinear(const uint8_t* data, uint32_t count) {
    const int frames = static_cast<int>(count / source_.BlockAlign());
    if (frames == 0)
        return;
    const uint8_t* packed = data;
    if (source_.containerBytes == 3) {
        Widen24(data, static_cast<size_t>(frames) * source_.Channels(), widened_);
        packed = reinterpret_cast<const uint8_t*>(widened_.data());
    }
    const uint8_t* const planes[1] = {packed};
    if (!resampler_) {
        Deliver(planes, frames);
        return;
    }
    const int converted = resampler_->Convert(planes, frames); // may move Output()
    Deliver(resampler_->Output(), converted);
}

void WaveCodecStream::OnFrame(const AVFrame& frame) {
    const SampleShape target = Target();
    const SampleShape shape{static_cast<AVSampleFormat>(frame.format), frame.ch_layout.nb_channels,
                            frame.sample_rate};
    if (shape.channels <= 0 || shape.rate <= 0)
        return;
    if (shape.format == target.format && shape.channels == target.channels &&
        shape.rate == target.rate && !Av().av_sample_fmt_is_planar(shape.format)) {
        Deliver(frame.extended_data, frame.nb_samples);
        return;
    }
    const SampleShape& have = resampler_ ? resampler_->In() : SampleShape{};
    if (!resampler_ || have.format != shape.format || have.channels != shape.channels ||
        have.rate != shape.rate) {
        // A stream whose frames differ from its record still comes out as the record promised.
        AVChannelLayout layout{};
        if (shape.channels == target.channels || frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            Av().av_channel_layout_default(&layout, shape.channels);
        else
            Av().av_channel_layout_copy(&layout, &frame.ch_layout);
        resampler_ = Resampler::Create(shape, layout, target);
        Av().av_channel_layout_uninit(&layout);
        if (!resampler_)
            return;
    }
    const int converted = resampler_->Convert(frame.extended_data, frame.nb_samples);
    Deliver(resampler_->Output(), converted);
}

void WaveCodecStream::Process(const uint8_t* data, uint32_t count) {
    if (count == 0)
        return;
    if (decoder_) {
        decoder_->Decode(data, count, [this](const AVFrame& f) { OnFrame(f); });
        return;
    }
    // At the end a short last encoder block is padded with silence by the encoder.
    ProcessLinear(data, count);
}

void WaveCodecStream::Drain() {
    if (decoder_)
        decoder_->Drain([this](const AVFrame& f) { OnFrame(f); });
    if (resampler_ && source_.Rate() != destination_.Rate()) {
        for (int n = resampler_->Convert(nullptr, 0); n > 0; n = resampler_->Convert(nullptr, 0))
            Deliver(resampler_->Output(), n);
    }
    if (encoder_)
        encoder_->Finish(pending_);
}

uint32_t WaveCodecStream::Emit(uint8_t* destination, uint32_t room) {
    const uint32_t unit = OutputUnit();
    const uint32_t n = std::min(Pending(), room) / unit * unit;
    if (n == 0 || destination == nullptr)
        return 0;
    std::memcpy(destination, pending_.data() + emitted_, n);
    emitted_ += n;
    if (emitted_ == pending_.size()) {
        pending_.clear();
        emitted_ = 0;
    } else if (emitted_ > (1u << 20) && emitted_ > pending_.size() / 2) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(emitted_));
        emitted_ = 0;
    }
    return n;
}

WaveConversionUsed WaveCodecStream::Convert(const uint8_t* source, uint32_t sourceLength,
                                            uint8_t* destination, uint32_t room, bool start,
                                            bool end) {
    if (start && used_)
        Build(); // Build succeeded once with these formats, so it succeeds again
    WaveConversionUsed step;
    step.destination = Emit(destination, room);
    if (Pending() > 0)
        return step; // no room: take no more input until the waiting output is out
    if (source == nullptr)
        sourceLength = 0;
    const uint32_t take = Consumable(sourceLength, end);
    if (take > 0) {
        if (drained_)
            Build(); // the codecs ended with the last stream: input after it starts a new one
        used_ = true;
        drained_ = false;
        Process(source, take);
    }
    step.source = end ? sourceLength : take;
    if (end && !drained_) {
        Drain();
        drained_ = true;
    }
    step.destination +=
        Emit(destination ? destination + step.destination : nullptr, room - step.destination);
    return step;
}

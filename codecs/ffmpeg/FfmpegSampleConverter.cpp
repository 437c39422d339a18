#include "codecs/ffmpeg/FfmpegSampleConverter.h"

#include <utility>

bool FfmpegSampleConverter::Open(const AVChannelLayout& inLayout, AVSampleFormat inFormat,
                                 int inRate, const AVChannelLayout& outLayout,
                                 AVSampleFormat outFormat, int outRate) {
    return Configure(inLayout, inFormat, inRate, outLayout, outFormat, outRate, inLayout);
}

bool FfmpegSampleConverter::OpenFor(const AVFrame& frame, const AVChannelLayout& outLayout,
                                    AVSampleFormat outFormat, int outRate) {
    ChannelLayout in;
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        in.SetDefault(frame.ch_layout.nb_channels);
    else if (!in.CopyFrom(frame.ch_layout))
        return false;
    return Configure(*in.Get(), static_cast<AVSampleFormat>(frame.format), frame.sample_rate,
                     outLayout, outFormat, outRate, frame.ch_layout);
}

bool FfmpegSampleConverter::Configure(const AVChannelLayout& inLayout, AVSampleFormat inFormat,
                                      int inRate, const AVChannelLayout& outLayout,
                                      AVSampleFormat outFormat, int outRate,
                                      const AVChannelLayout& statedLayout) {
    if (av_sample_fmt_is_planar(outFormat) || av_get_bytes_per_sample(outFormat) <= 0)
        return false;
    SwrContext* raw = nullptr;
    // FFmpeg 5.1 declares the layouts writable; it only copies them.
    const int made =
        swr_alloc_set_opts2(&raw, const_cast<AVChannelLayout*>(&outLayout), outFormat, outRate,
                            const_cast<AVChannelLayout*>(&inLayout), inFormat, inRate, 0, nullptr);
    SwrPtr resampler(raw);
    if (made < 0 || swr_init(raw) < 0)
        return false;
    resampler_ = std::move(resampler);
    frameBytes_ = static_cast<size_t>(av_get_bytes_per_sample(outFormat)) *
                  static_cast<size_t>(outLayout.nb_channels);
    inFormat_ = inFormat;
    inRate_ = inRate;
    return inLayout_.CopyFrom(statedLayout);
}

bool FfmpegSampleConverter::Takes(const AVFrame& frame) const {
    return resampler_ && inFormat_ == frame.format && inRate_ == frame.sample_rate &&
           av_channel_layout_compare(inLayout_.Get(), &frame.ch_layout) == 0;
}

// A null input drains the resampler.
int FfmpegSampleConverter::Convert(const uint8_t** input, int count) {
    if (!resampler_)
        return -1;
    const int room = swr_get_out_samples(resampler_.get(), count);
    if (room <= 0)
        return room;
    output_.resize(static_cast<size_t>(room) * frameBytes_);
    uint8_t* out = output_.data();
    return swr_convert(resampler_.get(), &out, room, input, count);
}

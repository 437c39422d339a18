// The readers' sample converter drains a rate change to the same samples and length that
// libswresample gives driven directly, and sets up anew only when the input's shape changes. (Real
// files never change rate midway; the module tests cover the format-only conversion.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "codecs/ffmpeg/FfmpegSampleConverter.h"

namespace {
FramePtr StereoFrame(int rate, AVChannelOrder order) {
    FramePtr frame(av_frame_alloc());
    frame->format = AV_SAMPLE_FMT_FLT;
    frame->sample_rate = rate;
    av_channel_layout_default(&frame->ch_layout, 2);
    frame->ch_layout.order = order;
    return frame;
}
} // namespace

TEST(FfmpegSampleConverterTest, RateChangeDrainsToTheDirectConversionsSamples) {
    constexpr int InRate = 44100, OutRate = 48000;
    std::vector<float> tone(2 * InRate);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.5f * static_cast<float>(std::sin(0.03 * static_cast<double>(i)));
    AVChannelLayout stereo{};
    av_channel_layout_default(&stereo, 2);
    FfmpegSampleConverter converter;
    ASSERT_TRUE(
        converter.Open(stereo, AV_SAMPLE_FMT_FLT, InRate, stereo, AV_SAMPLE_FMT_S16, OutRate));
    SwrContext* raw = nullptr;
    ASSERT_GE(swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_S16, OutRate, &stereo,
                                  AV_SAMPLE_FMT_FLT, InRate, 0, nullptr),
              0);
    const SwrPtr direct(raw);
    ASSERT_GE(swr_init(raw), 0);
    std::vector<int16_t> got, expected(2 * OutRate + 64);
    int directCount = 0;
    // Uneven slices, as a decoder's frames may be; a null input drains.
    for (int done = 0, slice = 1; done <= InRate; slice = slice * 3 % 2047 + 1) {
        const int count = std::min(slice, InRate - done);
        const auto* in = reinterpret_cast<const uint8_t*>(tone.data() + 2 * done);
        const uint8_t** input = count > 0 ? &in : nullptr;
        const int converted = converter.Convert(input, count);
        ASSERT_GE(converted, 0);
        const auto* out = reinterpret_cast<const int16_t*>(converter.Output());
        got.insert(got.end(), out, out + 2 * converted);
        auto* to = reinterpret_cast<uint8_t*>(expected.data() + 2 * directCount);
        directCount += swr_convert(raw, &to, OutRate + 32 - directCount, input, count);
        done += count > 0 ? count : 1;
    }
    av_channel_layout_uninit(&stereo);
    expected.resize(2 * static_cast<size_t>(directCount));
    EXPECT_EQ(directCount, OutRate);
    EXPECT_EQ(got, expected);
}

TEST(FfmpegSampleConverterTest, SetsUpAnewOnlyForAnotherShape) {
    FfmpegSampleConverter converter;
    EXPECT_LT(converter.Flush(), 0);
    const FramePtr stereo = StereoFrame(44100, AV_CHANNEL_ORDER_NATIVE);
    const FramePtr unspecified = StereoFrame(44100, AV_CHANNEL_ORDER_UNSPEC);
    AVChannelLayout out{};
    av_channel_layout_default(&out, 2);
    ASSERT_TRUE(converter.OpenFor(*stereo, out, AV_SAMPLE_FMT_S16, 44100));
    EXPECT_TRUE(converter.Takes(*stereo));
    EXPECT_FALSE(converter.Takes(*StereoFrame(48000, AV_CHANNEL_ORDER_NATIVE)));
    // Set up with the default layout, an unspecified one is still told apart as stated.
    EXPECT_FALSE(converter.Takes(*unspecified));
    ASSERT_TRUE(converter.OpenFor(*unspecified, out, AV_SAMPLE_FMT_S16, 44100));
    EXPECT_TRUE(converter.Takes(*unspecified));
    // A refused set-up leaves the one before in place.
    EXPECT_FALSE(converter.OpenFor(*stereo, out, AV_SAMPLE_FMT_S16P, 44100));
    EXPECT_TRUE(converter.Takes(*unspecified));
    av_channel_layout_uninit(&out);
}

#pragma once
// Owning handles for the FFmpeg objects the codec modules use.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

struct InputContextDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct OutputContextDeleter {
    void operator()(AVFormatContext* c) const {
        if (c->pb != nullptr && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrDeleter {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct AudioFifoDeleter {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoDeleter>;

// A channel layout that releases what it holds (a custom order's map) when it goes.
class ChannelLayout {
public:
    ChannelLayout() = default;
    ~ChannelLayout() { av_channel_layout_uninit(&layout_); }
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;

    AVChannelLayout* Get() { return &layout_; }
    const AVChannelLayout* Get() const { return &layout_; }
    // Replaces what it held with FFmpeg's default layout for that many channels.
    void SetDefault(int channels) {
        av_channel_layout_uninit(&layout_);
        av_channel_layout_default(&layout_, channels);
    }
    // Replaces what it held with a copy of from; false when out of memory.
    bool CopyFrom(const AVChannelLayout& from) {
        av_channel_layout_uninit(&layout_);
        return av_channel_layout_copy(&layout_, &from) == 0;
    }

private:
    AVChannelLayout layout_{};
};

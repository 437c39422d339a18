#pragma once
// Owning handles for the FFmpeg objects the wave format conversions and the cover scaler use.
#include <memory>

#include "acm/FFmpegLibrary.h"

struct AvCodecContextFree {
    void operator()(AVCodecContext* c) const { Av().avcodec_free_context(&c); }
};
struct AvFrameFree {
    void operator()(AVFrame* f) const { Av().av_frame_free(&f); }
};
struct AvPacketFree {
    void operator()(AVPacket* p) const { Av().av_packet_free(&p); }
};
struct AvParserClose {
    void operator()(AVCodecParserContext* p) const { Av().av_parser_close(p); }
};
struct AvFree {
    void operator()(void* p) const { Av().av_free(p); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { Av().swr_free(&s); }
};
struct SwsFree {
    void operator()(SwsContext* s) const { Av().sws_freeContext(s); }
};

using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvParserPtr = std::unique_ptr<AVCodecParserContext, AvParserClose>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;

#pragma once
// Owning handles for the FFmpeg objects the compression-manager stand-in uses.
#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

struct AvCodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct AvFrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct AvPacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct AvParserClose {
    void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvParserPtr = std::unique_ptr<AVCodecParserContext, AvParserClose>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;

// Damaged input and refused parameters are the callers' to report; the library's own messages
// would only clutter the terminal of the command-line front end. Every stream open calls it.
inline void AcmQuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

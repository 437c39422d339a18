#include "acm/WaveFormatDecoder.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kRunBytes = 1 << 16;

bool IsPcmLike(AVCodecID id) {
    return id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT;
}

AvCodecContextPtr OpenContext(const ParsedWaveFormat& f) {
    const AVCodec* codec = Av().avcodec_find_decoder(f.codec);
    if (!codec)
        return nullptr;
    AvCodecContextPtr ctx(Av().avcodec_alloc_context3(codec));
    if (!ctx)
        return nullptr;
    ctx->sample_rate = static_cast<int>(f.Rate());
    Av().av_channel_layout_default(&ctx->ch_layout, f.Channels());
    ctx->block_align = static_cast<int>(f.BlockAlign());
    ctx->bits_per_coded_sample = f.record.wBitsPerSample;
    ctx->bit_rate = static_cast<int64_t>(f.record.nAvgBytesPerSec) * 8;
    ctx->codec_tag = f.tag;
    if (!f.extra.empty()) {
        ctx->extradata =
            static_cast<uint8_t*>(Av().av_mallocz(f.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!ctx->extradata)
            return nullptr;
        std::memcpy(ctx->extradata, f.extra.data(), f.extra.size());
        ctx->extradata_size = static_cast<int>(f.extra.size());
    }
    if (Av().avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return nullptr;
    return ctx;
}
} // namespace

std::unique_ptr<WaveFormatDecoder> WaveFormatDecoder::Open(const ParsedWaveFormat& format) {
    if (!FFmpegLibrary::Get())
        return nullptr;
    AvCodecContextPtr ctx = OpenContext(format);
    if (!ctx)
        return nullptr;
    std::unique_ptr<WaveFormatDecoder> d(new WaveFormatDecoder(std::move(ctx), format));
    if (!d->packet_ || !d->frame_)
        return nullptr;
    return d;
}

WaveFormatDecoder::WaveFormatDecoder(AvCodecContextPtr ctx, const ParsedWaveFormat& format)
    : ctx_(std::move(ctx)), packet_(Av().av_packet_alloc()), frame_(Av().av_frame_alloc()),
      blockAlign_(format.BlockAlign()), avgBytesPerSec_(format.record.nAvgBytesPerSec),
      rate_(format.Rate()) {
    const int duration =
        Av().av_get_audio_frame_duration(ctx_.get(), static_cast<int>(blockAlign_));
    framesPerBlock_ = duration > 0 ? static_cast<uint32_t>(duration) : 0;
    if (IsPcmLike(format.codec)) {
        mode_ = framesPerBlock_ > 0 ? Mode::Runs : Mode::Blocks;
        return;
    }
    // Where the codec has a parser it finds the frames (MPEG audio's blocks are not fixed);
    // a block size of 1 then says nothing about a frame's duration.
    parser_.reset(Av().av_parser_init(format.codec));
    if (parser_) {
        mode_ = Mode::Parser;
        if (blockAlign_ <= 1)
            framesPerBlock_ = 0;
    } else if (framesPerBlock_ == 0) {
        mode_ = Mode::Runs; // neither: runs of blocks, and the codec finds its own way
    }
}

uint32_t WaveFormatDecoder::Consumable(uint32_t count, bool end) const {
    if (end || mode_ == Mode::Parser)
        return count;
    return count / blockAlign_ * blockAlign_;
}

uint64_t WaveFormatDecoder::FramesFor(uint64_t bytes) const {
    const uint64_t blocks = (bytes + blockAlign_ - 1) / blockAlign_;
    if (framesPerBlock_ > 0)
        return blocks * framesPerBlock_;
    // No fixed block duration: twice the duration the record's average rate implies, plus a
    // frame or two of the largest codecs' size for what the codec held back.
    const uint64_t bytesPerSec = std::max<uint32_t>(avgBytesPerSec_, rate_ / 64 + 1);
    return bytes * rate_ / bytesPerSec * 2 + 8192;
}

uint64_t WaveFormatDecoder::BytesFor(uint64_t frames) const {
    uint64_t blocks = 1;
    if (framesPerBlock_ > 0) {
        blocks = frames / framesPerBlock_;
    } else if (avgBytesPerSec_ > 0) {
        blocks = frames * avgBytesPerSec_ / rate_ / blockAlign_;
    }
    return std::max<uint64_t>(blocks, 1) * blockAlign_;
}

void WaveFormatDecoder::Receive(const FrameSink& sink) {
    while (Av().avcodec_receive_frame(ctx_.get(), frame_.get()) == 0) {
        if (frame_->nb_samples > 0)
            sink(*frame_);
        Av().av_frame_unref(frame_.get());
    }
}

void WaveFormatDecoder::Send(const uint8_t* data, int count, const FrameSink& sink) {
    if (Av().av_new_packet(packet_.get(), count) < 0)
        return;
    std::memcpy(packet_->data, data, static_cast<size_t>(count));
    int err = Av().avcodec_send_packet(ctx_.get(), packet_.get());
    if (err == AVERROR(EAGAIN)) {
        Receive(sink);
        err = Av().avcodec_send_packet(ctx_.get(), packet_.get());
    }
    Av().av_packet_unref(packet_.get());
    // A packet the codec rejects is skipped: damaged input loses its block, never the stream.
    Receive(sink);
}

void WaveFormatDecoder::Parse(const uint8_t* data, uint32_t count, const FrameSink& sink) {
    while (count > 0) {
        uint8_t* out = nullptr;
        int outSize = 0;
        const int used =
            Av().av_parser_parse2(parser_.get(), ctx_.get(), &out, &outSize, data,
                                  static_cast<int>(count), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (used < 0)
            return;
        data += used;
        count -= std::min(count, static_cast<uint32_t>(used));
        if (outSize > 0)
            Send(out, outSize, sink);
        else if (used == 0)
            return;
    }
}

void WaveFormatDecoder::Decode(const uint8_t* data, uint32_t count, const FrameSink& sink) {
    if (mode_ == Mode::Parser) {
        // Parsers read ahead into the padding that FFmpeg requires after its input buffers,
        // which the caller's memory does not have: parse from a padded copy.
        while (count > 0) {
            const uint32_t n = std::min(count, kRunBytes);
            padded_.assign(data, data + n);
            padded_.resize(n + AV_INPUT_BUFFER_PADDING_SIZE, 0);
            Parse(padded_.data(), n, sink);
            data += n;
            count -= n;
        }
        return;
    }
    const uint32_t step =
        mode_ == Mode::Runs ? std::max(kRunBytes / blockAlign_, 1u) * blockAlign_ : blockAlign_;
    while (count > 0) {
        const uint32_t n = std::min(step, count);
        Send(data, static_cast<int>(n), sink);
        data += n;
        count -= n;
    }
}

void WaveFormatDecoder::Drain(const FrameSink& sink) {
    if (parser_) {
        uint8_t* out = nullptr;
        int outSize = 0;
        Av().av_parser_parse2(parser_.get(), ctx_.get(), &out, &outSize, nullptr, 0, AV_NOPTS_VALUE,
                              AV_NOPTS_VALUE, 0);
        if (outSize > 0)
            Send(out, outSize, sink);
    }
    if (Av().avcodec_send_packet(ctx_.get(), nullptr) == 0)
        Receive(sink);
}

#include "acm/WaveFormatEncoder.h"

#include <algorithm>
#include <bit>

extern "C" {
#include <libavutil/opt.h>
}

#include "engine/WaveFormat.h"

namespace {
constexpr int kRunFrames = 1 << 14;
constexpr uint32_t kGsmBlock = 65;

AVCodecID EncoderFor(uint16_t tag) {
    switch (tag) {
    case WAVE_FORMAT_ALAW:
        return AV_CODEC_ID_PCM_ALAW;
    case WAVE_FORMAT_MULAW:
        return AV_CODEC_ID_PCM_MULAW;
    case WAVE_FORMAT_IMA_ADPCM:
        return AV_CODEC_ID_ADPCM_IMA_WAV;
    case WAVE_FORMAT_ADPCM:
        return AV_CODEC_ID_ADPCM_MS;
    case WAVE_FORMAT_GSM610:
        return AV_CODEC_ID_GSM_MS;
    default:
        return AV_CODEC_ID_NONE;
    }
}

bool IsAdpcm(uint16_t tag) {
    return tag == WAVE_FORMAT_IMA_ADPCM || tag == WAVE_FORMAT_ADPCM;
}

void AppendLe16(std::vector<uint8_t>& v, unsigned value) {
    v.push_back(static_cast<uint8_t>(value & 0xFF));
    v.push_back(static_cast<uint8_t>(value >> 8));
}
} // namespace

uint32_t WaveFormatEncoder::StandardBlockAlign(uint16_t tag, uint16_t channels, uint32_t rate) {
    if (tag == WAVE_FORMAT_GSM610)
        return kGsmBlock;
    if (!IsAdpcm(tag))
        return channels; // one byte per sample
    // 256 bytes per channel up to 11025 Hz, doubling with the rate, kept a power of two.
    const uint32_t factor = std::bit_floor(std::max<uint32_t>(rate / 11025, 1));
    return std::min<uint32_t>(256u * channels * factor, 8192);
}

std::unique_ptr<WaveFormatEncoder> WaveFormatEncoder::Open(const WaveFormatEncoderParams& p) {
    if (!FFmpegLibrary::Get())
        return nullptr;
    const AVCodec* codec = Av().avcodec_find_encoder(EncoderFor(p.tag));
    if (!codec || p.channels == 0 || p.rate == 0 || !codec->sample_fmts)
        return nullptr;
    AvCodecContextPtr ctx(Av().avcodec_alloc_context3(codec));
    if (!ctx)
        return nullptr;
    ctx->sample_rate = static_cast<int>(p.rate);
    Av().av_channel_layout_default(&ctx->ch_layout, p.channels);
    ctx->sample_fmt = codec->sample_fmts[0];
    AVDictionary* options = nullptr;
    if (IsAdpcm(p.tag)) {
        if (p.blockAlign < 32 || p.blockAlign > 8192 || !std::has_single_bit(p.blockAlign))
            return nullptr;
        Av().av_dict_set_int(&options, "block_size", p.blockAlign, 0);
    }
    const int err = Av().avcodec_open2(ctx.get(), codec, &options);
    Av().av_dict_free(&options);
    if (err < 0)
        return nullptr;
    if (p.tag == WAVE_FORMAT_GSM610 && (ctx->block_align != kGsmBlock || ctx->frame_size != 320))
        return nullptr;
    if (ctx->block_align <= 0 || static_cast<uint32_t>(ctx->block_align) != p.blockAlign)
        return nullptr;
    std::unique_ptr<WaveFormatEncoder> e(new WaveFormatEncoder(std::move(ctx), p.tag));
    if (!e->frame_ || !e->packet_)
        return nullptr;
    return e;
}

WaveFormatEncoder::WaveFormatEncoder(AvCodecContextPtr ctx, uint16_t tag)
    : ctx_(std::move(ctx)), frame_(Av().av_frame_alloc()), packet_(Av().av_packet_alloc()),
      tag_(tag) {}

std::vector<uint8_t> WaveFormatEncoder::Extra() const {
    if (tag_ == WAVE_FORMAT_ADPCM && ctx_->extradata_size > 0)
        return {ctx_->extradata, ctx_->extradata + ctx_->extradata_size};
    std::vector<uint8_t> extra;
    if (tag_ == WAVE_FORMAT_IMA_ADPCM || tag_ == WAVE_FORMAT_GSM610)
        AppendLe16(extra, static_cast<unsigned>(ctx_->frame_size)); // samples per block
    return extra;
}

uint64_t WaveFormatEncoder::BytesFor(uint64_t frames) const {
    if (FrameSize() <= 0)
        return frames * BlockAlign();
    const uint64_t fs = static_cast<uint64_t>(FrameSize());
    return (frames + fs - 1) / fs * BlockAlign();
}

uint64_t WaveFormatEncoder::FramesFor(uint64_t bytes) const {
    const uint64_t blocks = bytes / BlockAlign();
    return FrameSize() <= 0 ? blocks : blocks * static_cast<uint64_t>(FrameSize());
}

void WaveFormatEncoder::Receive(std::vector<uint8_t>& out) {
    while (Av().avcodec_receive_packet(ctx_.get(), packet_.get()) == 0) {
        out.insert(out.end(), packet_->data, packet_->data + packet_->size);
        Av().av_packet_unref(packet_.get());
    }
}

void WaveFormatEncoder::Encode(const uint8_t* const* planes, int count, std::vector<uint8_t>& out) {
    const int step = FrameSize() > 0 ? FrameSize() : kRunFrames;
    const int channels = ctx_->ch_layout.nb_channels;
    for (int done = 0; done < count; done += step) {
        const int n = std::min(step, count - done);
        Av().av_frame_unref(frame_.get());
        frame_->format = ctx_->sample_fmt;
        frame_->nb_samples = FrameSize() > 0 ? step : n;
        frame_->sample_rate = ctx_->sample_rate;
        if (Av().av_channel_layout_copy(&frame_->ch_layout, &ctx_->ch_layout) < 0 ||
            Av().av_frame_get_buffer(frame_.get(), 0) < 0)
            return;
        Av().av_samples_copy(frame_->extended_data, const_cast<uint8_t* const*>(planes), 0, done, n,
                             channels, ctx_->sample_fmt);
        if (n < frame_->nb_samples)
            Av().av_samples_set_silence(frame_->extended_data, n, frame_->nb_samples - n, channels,
                                        ctx_->sample_fmt);
        if (Av().avcodec_send_frame(ctx_.get(), frame_.get()) < 0)
            return;
        Receive(out);
    }
}

void WaveFormatEncoder::Finish(std::vector<uint8_t>& out) {
    if (Av().avcodec_send_frame(ctx_.get(), nullptr) == 0)
        Receive(out);
}

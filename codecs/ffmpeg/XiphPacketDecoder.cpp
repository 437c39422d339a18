#include "codecs/ffmpeg/XiphPacketDecoder.h"

#include <cstring>
#include <iterator>

namespace {
// The Vorbis I channel order, which Opus shares: FFmpeg's decoders reorder up to eight channels
// into its own order, while the reference libraries deliver them as the stream holds them.
const AVChannel StreamOrder[8][8] = {
    {AV_CHAN_FRONT_CENTER},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_RIGHT},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_CENTER, AV_CHAN_FRONT_RIGHT},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_RIGHT, AV_CHAN_BACK_LEFT, AV_CHAN_BACK_RIGHT},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_CENTER, AV_CHAN_FRONT_RIGHT, AV_CHAN_BACK_LEFT,
     AV_CHAN_BACK_RIGHT},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_CENTER, AV_CHAN_FRONT_RIGHT, AV_CHAN_BACK_LEFT,
     AV_CHAN_BACK_RIGHT, AV_CHAN_LOW_FREQUENCY},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_CENTER, AV_CHAN_FRONT_RIGHT, AV_CHAN_SIDE_LEFT,
     AV_CHAN_SIDE_RIGHT, AV_CHAN_BACK_CENTER, AV_CHAN_LOW_FREQUENCY},
    {AV_CHAN_FRONT_LEFT, AV_CHAN_FRONT_CENTER, AV_CHAN_FRONT_RIGHT, AV_CHAN_SIDE_LEFT,
     AV_CHAN_SIDE_RIGHT, AV_CHAN_BACK_LEFT, AV_CHAN_BACK_RIGHT, AV_CHAN_LOW_FREQUENCY},
};
} // namespace

bool XiphPacketDecoder::Open(const char* decoder, const std::vector<uint8_t>& headers) {
    if (!FFmpegLibrary::Codecs())
        return false;
    const AVCodec* codec = Av().avcodec_find_decoder_by_name(decoder);
    context_.reset(codec ? Av().avcodec_alloc_context3(codec) : nullptr);
    packet_.reset(Av().av_packet_alloc());
    frame_.reset(Av().av_frame_alloc());
    if (!context_ || !packet_ || !frame_ || headers.empty())
        return false;
    context_->extradata =
        static_cast<uint8_t*>(Av().av_mallocz(headers.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!context_->extradata)
        return false;
    std::memcpy(context_->extradata, headers.data(), headers.size());
    context_->extradata_size = static_cast<int>(headers.size());
    // The module drops the pre-skip itself, where the stream's timing says.
    context_->flags2 |= AV_CODEC_FLAG2_SKIP_MANUAL;
    if (Av().avcodec_open2(context_.get(), codec, nullptr) < 0) {
        context_.reset();
        return false;
    }
    MapChannels(context_->ch_layout);
    return true;
}

void XiphPacketDecoder::MapChannels(const AVChannelLayout& layout) {
    const int channels = layout.nb_channels;
    sources_.resize(static_cast<std::size_t>(channels));
    for (int c = 0; c < channels; ++c)
        sources_[c] = c;
    if (channels < 3 || channels > static_cast<int>(std::size(StreamOrder)))
        return;
    std::vector<int> mapped(sources_.size());
    for (int c = 0; c < channels; ++c) {
        mapped[c] =
            Av().av_channel_layout_index_from_channel(&layout, StreamOrder[channels - 1][c]);
        if (mapped[c] < 0) // a layout of FFmpeg's that is not the stream's: as it comes
            return;
    }
    sources_ = std::move(mapped);
}

bool XiphPacketDecoder::Decode(const uint8_t* data, std::size_t bytes, std::vector<float>& out) {
    packet_->data = const_cast<uint8_t*>(data);
    packet_->size = static_cast<int>(bytes);
    const int sent = Av().avcodec_send_packet(context_.get(), packet_.get());
    packet_->data = nullptr;
    packet_->size = 0;
    if (sent < 0)
        return false;
    for (;;) {
        const int got = Av().avcodec_receive_frame(context_.get(), frame_.get());
        if (got == AVERROR(EAGAIN))
            return true;
        if (got < 0)
            return false;
        const bool taken = Append(*frame_, out);
        Av().av_frame_unref(frame_.get());
        if (!taken)
            return false;
    }
}

bool XiphPacketDecoder::Append(const AVFrame& frame, std::vector<float>& out) {
    const std::size_t channels = sources_.size();
    if (frame.ch_layout.nb_channels != static_cast<int>(channels) || frame.nb_samples < 0)
        return false;
    const auto frames = static_cast<std::size_t>(frame.nb_samples);
    const std::size_t at = out.size();
    out.resize(at + frames * channels);
    float* to = out.data() + at;
    if (frame.format == AV_SAMPLE_FMT_FLTP) {
        for (std::size_t c = 0; c < channels; ++c) {
            const auto* plane = reinterpret_cast<const float*>(frame.extended_data[sources_[c]]);
            for (std::size_t i = 0; i < frames; ++i)
                to[i * channels + c] = plane[i];
        }
        return true;
    }
    if (frame.format == AV_SAMPLE_FMT_FLT) {
        const auto* from = reinterpret_cast<const float*>(frame.extended_data[0]);
        for (std::size_t i = 0; i < frames; ++i)
            for (std::size_t c = 0; c < channels; ++c)
                to[i * channels + c] = from[i * channels + sources_[c]];
        return true;
    }
    return false;
}

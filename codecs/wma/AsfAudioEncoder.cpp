#include "codecs/wma/AsfAudioEncoder.h"

#include <algorithm>

namespace {
// What the wmav2 encoder accepts.
constexpr uint32_t MinBitRate = 24000;
constexpr uint32_t MaxSampleRate = 48000;
constexpr uint32_t MaxChannels = 2;

AVSampleFormat InputSampleFormat(const WAVEFORMATEX& format) {
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return format.wBitsPerSample == 32   ? AV_SAMPLE_FMT_FLT
               : format.wBitsPerSample == 64 ? AV_SAMPLE_FMT_DBL
                                             : AV_SAMPLE_FMT_NONE;
    switch (format.wBitsPerSample) {
    case 8:
        return AV_SAMPLE_FMT_U8;
    case 16:
        return AV_SAMPLE_FMT_S16;
    case 24: // unpacked into 32-bit samples first
    case 32:
        return AV_SAMPLE_FMT_S32;
    default:
        return AV_SAMPLE_FMT_NONE;
    }
}
} // namespace

std::unique_ptr<AsfAudioEncoder> AsfAudioEncoder::Open(const std::string& path,
                                                       const WAVEFORMATEX& input,
                                                       const WmaOutputRequest& request) {
    std::unique_ptr<AsfAudioEncoder> encoder(new AsfAudioEncoder);
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "asf", nullptr) < 0)
        return nullptr;
    encoder->output_.reset(raw);
    encoder->input_ = input;
    if (InputSampleFormat(input) == AV_SAMPLE_FMT_NONE || !encoder->OpenCodec(request) ||
        !encoder->OpenResampler() || !encoder->OpenStream(path))
        return nullptr;
    return encoder;
}

bool AsfAudioEncoder::OpenCodec(const WmaOutputRequest& request) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (codec == nullptr)
        return false;
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_)
        return false;
    const uint32_t rate = request.sampleRate != 0 ? request.sampleRate : input_.nSamplesPerSec;
    encoder_->sample_rate = static_cast<int>(std::min(rate, MaxSampleRate));
    encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&encoder_->ch_layout,
                              static_cast<int>(std::clamp(request.channels, 1u, MaxChannels)));
    encoder_->bit_rate = std::max(request.bitRate, MinBitRate);
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    if (output_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder_.get(), codec, nullptr) < 0 || encoder_->frame_size <= 0)
        return false;
    frameSize_ = encoder_->frame_size;
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_)
        return false;
    frame_->nb_samples = frameSize_;
    frame_->format = encoder_->sample_fmt;
    frame_->sample_rate = encoder_->sample_rate;
    return av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout) == 0 &&
           av_frame_get_buffer(frame_.get(), 0) == 0;
}

bool AsfAudioEncoder::OpenResampler() {
    AVChannelLayout in{};
    av_channel_layout_default(&in, input_.nChannels);
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &encoder_->ch_layout, AV_SAMPLE_FMT_FLTP,
                                         encoder_->sample_rate, &in, InputSampleFormat(input_),
                                         static_cast<int>(input_.nSamplesPerSec), 0, nullptr);
    av_channel_layout_uninit(&in);
    resampler_.reset(raw);
    if (made < 0)
        return false;
    const int outChannels = encoder_->ch_layout.nb_channels;
    // Keep the level when only the channel count changes: the default upmix is 3 dB quieter.
    if (input_.nChannels == 1 && outChannels == 2) {
        const double both[] = {1.0, 1.0};
        swr_set_matrix(raw, both, 1);
    } else if (input_.nChannels == 2 && outChannels == 1) {
        const double half[] = {0.5, 0.5};
        swr_set_matrix(raw, half, 2);
    }
    if (swr_init(raw) < 0)
        return false;
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, outChannels, frameSize_ * 2));
    if (!fifo_)
        return false;
    // The decoder's output starts one frame into the encoded stream: a frame of silence first
    // keeps every input sample in the decoded result.
    std::vector<float> silence(static_cast<size_t>(frameSize_), 0.0f);
    std::vector<void*> planes(static_cast<size_t>(outChannels), silence.data());
    return av_audio_fifo_write(fifo_.get(), planes.data(), frameSize_) == frameSize_;
}

bool AsfAudioEncoder::OpenStream(const std::string& path) {
    AVStream* stream = avformat_new_stream(output_.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, encoder_.get()) < 0)
        return false;
    // Everything that can refuse the formats has accepted them: only now is the file created.
    if (avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    stream->time_base = encoder_->time_base;
    return avformat_write_header(output_.get(), nullptr) >= 0;
}

bool AsfAudioEncoder::Write(const uint8_t* data, uint32_t sampleCount) {
    if (input_.wBitsPerSample == 24 && input_.wFormatTag != WAVE_FORMAT_IEEE_FLOAT)
        data = Unpack24(data, sampleCount);
    const uint8_t* planes[] = {data};
    constexpr uint32_t Slice = 1 << 16; // keeps the conversion buffer small for huge writes
    const uint32_t stride =
        input_.wBitsPerSample == 24 ? 4u * input_.nChannels : input_.nBlockAlign;
    for (uint32_t done = 0; done < sampleCount;) {
        const uint32_t count = std::min(Slice, sampleCount - done);
        planes[0] = data + static_cast<size_t>(done) * stride;
        if (!Convert(planes, static_cast<int>(count)) || !EncodeFullFrames())
            return false;
        done += count;
    }
    return true;
}

const uint8_t* AsfAudioEncoder::Unpack24(const uint8_t* data, uint32_t sampleCount) {
    const size_t values = static_cast<size_t>(sampleCount) * input_.nChannels;
    unpacked_.resize(values);
    for (size_t i = 0; i < values; ++i) {
        const uint8_t* p = data + i * 3;
        const uint32_t bits =
            (uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 24);
        unpacked_[i] = static_cast<int32_t>(bits);
    }
    return reinterpret_cast<const uint8_t*>(unpacked_.data());
}

// A null input drains the resampler.
bool AsfAudioEncoder::Convert(const uint8_t** input, int sampleCount) {
    const int room = swr_get_out_samples(resampler_.get(), sampleCount);
    if (room < 0)
        return false;
    if (room == 0)
        return true;
    const int channels = encoder_->ch_layout.nb_channels;
    converted_.resize(static_cast<size_t>(room) * static_cast<size_t>(channels));
    planes_.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c)
        planes_[static_cast<size_t>(c)] =
            reinterpret_cast<uint8_t*>(converted_.data() + static_cast<size_t>(c) * room);
    const int converted = swr_convert(resampler_.get(), planes_.data(), room, input, sampleCount);
    if (converted < 0)
        return false;
    return av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(planes_.data()), converted) ==
           converted;
}

bool AsfAudioEncoder::EncodeFullFrames() {
    while (av_audio_fifo_size(fifo_.get()) >= frameSize_) {
        if (!EncodeFrame())
            return false;
    }
    return true;
}

bool AsfAudioEncoder::EncodeFrame() {
    if (av_frame_make_writable(frame_.get()) < 0 ||
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), frameSize_) !=
            frameSize_)
        return false;
    frame_->pts = samplesEncoded_;
    samplesEncoded_ += frameSize_;
    return Drain(frame_.get());
}

// Sends a frame (null at the end) and writes every packet the encoder has ready.
bool AsfAudioEncoder::Drain(const AVFrame* frame) {
    if (avcodec_send_frame(encoder_.get(), frame) < 0)
        return false;
    AVStream* stream = output_->streams[0];
    for (;;) {
        const int received = avcodec_receive_packet(encoder_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return false;
        packet_->stream_index = stream->index;
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, stream->time_base);
        if (av_write_frame(output_.get(), packet_.get()) < 0)
            return false;
    }
}

bool AsfAudioEncoder::Finish() {
    if (!Convert(nullptr, 0))
        return false;
    // The encoder takes whole frames only: pad the last one with silence.
    const int partial = av_audio_fifo_size(fifo_.get()) % frameSize_;
    if (partial != 0) {
        const int pad = frameSize_ - partial;
        std::vector<float> silence(static_cast<size_t>(pad), 0.0f);
        std::vector<void*> planes(static_cast<size_t>(encoder_->ch_layout.nb_channels),
                                  silence.data());
        if (av_audio_fifo_write(fifo_.get(), planes.data(), pad) != pad)
            return false;
    }
    if (!EncodeFullFrames() || !Drain(nullptr) || av_write_trailer(output_.get()) < 0)
        return false;
    const bool written = output_->pb->error == 0;
    return avio_closep(&output_->pb) == 0 && written;
}

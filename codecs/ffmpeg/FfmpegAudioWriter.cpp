#include "codecs/ffmpeg/FfmpegAudioWriter.h"

#include <algorithm>
#include <cstring>

namespace {
// FFmpeg's errors from the system are minus the errno; its own codes lie far below those.
int ErrnoOf(int averror) {
    constexpr int MostErrno = 4095;
    return averror < 0 && averror >= -MostErrno ? -averror : 0;
}
} // namespace

AVSampleFormat FfmpegAudioWriter::InputSampleFormat(const WAVEFORMATEX& format) {
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return format.wBitsPerSample == 32   ? AV_SAMPLE_FMT_FLT
               : format.wBitsPerSample == 64 ? AV_SAMPLE_FMT_DBL
                                             : AV_SAMPLE_FMT_NONE;
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return AV_SAMPLE_FMT_NONE;
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

bool FfmpegAudioWriter::CodecLayout(const AVCodec& codec, int channels, AVChannelLayout& layout) {
    av_channel_layout_uninit(&layout);
    for (const AVChannelLayout* listed = codec.ch_layouts;
         listed != nullptr && listed->nb_channels != 0; ++listed) {
        if (listed->nb_channels == channels)
            return av_channel_layout_copy(&layout, listed) == 0;
    }
    av_channel_layout_default(&layout, channels);
    return true;
}

bool FfmpegAudioWriter::OpenOutput(const char* muxer) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, muxer, nullptr) < 0)
        return false;
    output_.reset(raw);
    return true;
}

AVCodecContext* FfmpegAudioWriter::NewEncoder(const AVCodec* codec) {
    encoder_.reset(avcodec_alloc_context3(codec));
    return encoder_.get();
}

bool FfmpegAudioWriter::OpenEncoder() {
    if (output_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder_.get(), nullptr, nullptr) < 0 || encoder_->frame_size <= 0)
        return false;
    frameSize_ = encoder_->frame_size;
    smallLastFrame_ = (encoder_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    packet_.reset(av_packet_alloc());
    return packet_ != nullptr;
}

bool FfmpegAudioWriter::OpenResampler(const WAVEFORMATEX& input, int fifoFrames) {
    input_ = input;
    // Read as the codec's own layout for its count: as many channels pass through unmixed.
    ChannelLayout in;
    if (!CodecLayout(*encoder_->codec, input.nChannels, *in.Get()))
        return false;
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &encoder_->ch_layout, encoder_->sample_fmt,
                                         encoder_->sample_rate, in.Get(), InputSampleFormat(input),
                                         static_cast<int>(input.nSamplesPerSec), 0, nullptr);
    resampler_.reset(raw);
    if (made < 0)
        return false;
    const int outChannels = Channels();
    // Keep the level when only the channel count changes: the default upmix is 3 dB quieter.
    if (input.nChannels == 1 && outChannels == 2) {
        const double both[] = {1.0, 1.0};
        swr_set_matrix(raw, both, 1);
    } else if (input.nChannels == 2 && outChannels == 1) {
        const double half[] = {0.5, 0.5};
        swr_set_matrix(raw, half, 2);
    }
    if (swr_init(raw) < 0)
        return false;
    fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, outChannels, fifoFrames));
    return fifo_ != nullptr;
}

bool FfmpegAudioWriter::OpenFile(const std::string& path, AVDictionary** muxerOptions) {
    AVStream* stream = avformat_new_stream(output_.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, encoder_.get()) < 0)
        return false;
    if (avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    stream->time_base = encoder_->time_base;
    return avformat_write_header(output_.get(), muxerOptions) >= 0;
}

bool FfmpegAudioWriter::Write(const uint8_t* data, uint32_t frameCount,
                              const std::function<bool()>& drain) {
    constexpr uint32_t Slice = 1 << 14; // keeps the conversion buffers small for huge writes
    for (uint32_t done = 0; done < frameCount;) {
        const uint32_t count = std::min(Slice, frameCount - done);
        const uint8_t* slice = data + static_cast<size_t>(done) * input_.nBlockAlign;
        const uint8_t* planes[] = {Prepare(slice, count)};
        if (!Convert(planes, static_cast<int>(count)) || !drain())
            return false;
        done += count;
    }
    return true;
}

const uint8_t* FfmpegAudioWriter::Prepare(const uint8_t* data, uint32_t frameCount) {
    const bool floats = input_.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    if (input_.wFormatTag == WAVE_FORMAT_PCM && input_.wBitsPerSample == 24)
        return Unpack24(data, frameCount);
    if (floats && input_.wBitsPerSample == 32)
        return Clip<float>(data, frameCount);
    if (floats && input_.wBitsPerSample == 64)
        return Clip<double>(data, frameCount);
    return data;
}

// Far beyond full scale (an Opus file's large output gain) the lossy encoders refuse a frame, and
// the integer formats cannot hold it: such samples are clipped to full scale.
template <typename Sample>
const uint8_t* FfmpegAudioWriter::Clip(const uint8_t* data, uint32_t frameCount) {
    const size_t bytes = static_cast<size_t>(frameCount) * input_.nBlockAlign;
    clipped_.resize(bytes);
    for (size_t at = 0; at < bytes; at += sizeof(Sample)) {
        Sample sample;
        std::memcpy(&sample, data + at, sizeof sample);
        sample = std::clamp(sample, Sample{-1}, Sample{1});
        std::memcpy(clipped_.data() + at, &sample, sizeof sample);
    }
    return clipped_.data();
}

const uint8_t* FfmpegAudioWriter::Unpack24(const uint8_t* data, uint32_t frameCount) {
    const size_t values = static_cast<size_t>(frameCount) * input_.nChannels;
    unpacked_.resize(values);
    for (size_t i = 0; i < values; ++i) {
        const uint8_t* p = data + i * 3;
        const uint32_t bits =
            (uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 24);
        unpacked_[i] = static_cast<int32_t>(bits);
    }
    return reinterpret_cast<const uint8_t*>(unpacked_.data());
}

bool FfmpegAudioWriter::FlushResampler() {
    return Convert(nullptr, 0);
}

// A null input drains the resampler.
bool FfmpegAudioWriter::Convert(const uint8_t** input, int frameCount) {
    const int room = swr_get_out_samples(resampler_.get(), frameCount);
    if (room < 0)
        return false;
    if (room == 0)
        return true;
    const int channels = Channels();
    const auto planeBytes = static_cast<size_t>(room) * static_cast<size_t>(BytesPerSample());
    converted_.resize(planeBytes * static_cast<size_t>(channels));
    planes_.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c)
        planes_[static_cast<size_t>(c)] = converted_.data() + static_cast<size_t>(c) * planeBytes;
    const int converted = swr_convert(resampler_.get(), planes_.data(), room, input, frameCount);
    if (converted < 0)
        return false;
    return av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(planes_.data()), converted) ==
           converted;
}

bool FfmpegAudioWriter::WriteSilence(int frameCount) {
    if (frameCount <= 0)
        return true;
    std::vector<uint8_t> silence(static_cast<size_t>(frameCount) *
                                 static_cast<size_t>(BytesPerSample()));
    std::vector<void*> planes(static_cast<size_t>(Channels()), silence.data());
    return av_audio_fifo_write(fifo_.get(), planes.data(), frameCount) == frameCount;
}

bool FfmpegAudioWriter::EncodeFrames(bool end) {
    while (av_audio_fifo_size(fifo_.get()) >= frameSize_) {
        if (!EncodeFrame(frameSize_))
            return false;
    }
    const int rest = av_audio_fifo_size(fifo_.get());
    if (!end || rest == 0)
        return true;
    if (smallLastFrame_)
        return EncodeFrame(rest);
    // The encoder takes whole frames only: pad the last one with silence.
    return WriteSilence(frameSize_ - rest) && EncodeFrame(frameSize_);
}

bool FfmpegAudioWriter::EncodeFrame(int frameCount) {
    frame_.reset(av_frame_alloc());
    if (!frame_)
        return false;
    frame_->nb_samples = frameCount;
    frame_->format = encoder_->sample_fmt;
    frame_->sample_rate = encoder_->sample_rate;
    if (av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout) < 0 ||
        av_frame_get_buffer(frame_.get(), 0) < 0 ||
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), frameCount) !=
            frameCount)
        return false;
    frame_->pts = nextPts_;
    nextPts_ += frameCount;
    return Drain(frame_.get());
}

bool FfmpegAudioWriter::Drain(const AVFrame* frame) {
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
        if (packetDuration_ != 0)
            packet_->duration = packetDuration_;
        ++packets_;
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, stream->time_base);
        if (av_write_frame(output_.get(), packet_.get()) < 0)
            return false;
    }
}

bool FfmpegAudioWriter::Finish() {
    if (!Drain(nullptr) || av_write_trailer(output_.get()) < 0)
        return false;
    const bool written = output_->pb->error == 0;
    NoteFileError(output_->pb->error);
    const int closed = avio_closep(&output_->pb);
    NoteFileError(closed);
    return closed == 0 && written;
}

void FfmpegAudioWriter::NoteFileError(int averror) {
    if (refusedErrno_ == 0)
        refusedErrno_ = ErrnoOf(averror);
}

int FfmpegAudioWriter::RefusedWriteErrno() const {
    if (refusedErrno_ != 0 || !output_ || output_->pb == nullptr)
        return refusedErrno_;
    return ErrnoOf(output_->pb->error);
}

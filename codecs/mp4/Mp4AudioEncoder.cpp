#include "codecs/mp4/Mp4AudioEncoder.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr uint32_t MaxChannels = 8;
constexpr uint32_t MaxInputRate = 768000;
constexpr uint32_t MinAacBitRate = 16000;
constexpr uint32_t MaxAacBitRate = 512000;

AVSampleFormat InputSampleFormat(const WAVEFORMATEX& format) {
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

bool IsUsableInput(const WAVEFORMATEX& f) {
    return InputSampleFormat(f) != AV_SAMPLE_FMT_NONE && f.nChannels >= 1 &&
           f.nChannels <= MaxChannels && f.nSamplesPerSec >= 1 &&
           f.nSamplesPerSec <= MaxInputRate && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

// The rate the codec takes that lies nearest to the one asked for.
int NearestRate(const AVCodec* codec, int wanted) {
    const int* rates = codec->supported_samplerates;
    if (rates == nullptr)
        return wanted;
    int best = rates[0];
    for (; *rates != 0; ++rates) {
        if (std::abs(*rates - wanted) < std::abs(best - wanted))
            best = *rates;
    }
    return best;
}

// ALAC keeps 16 bits, or 24 bits in 32-bit samples for anything deeper.
bool Deep(const WAVEFORMATEX& input) {
    return input.wFormatTag == WAVE_FORMAT_IEEE_FLOAT || input.wBitsPerSample > 16;
}
} // namespace

std::unique_ptr<Mp4AudioEncoder> Mp4AudioEncoder::Open(const std::string& path,
                                                       const WAVEFORMATEX& input,
                                                       const Mp4WriterRequest& request) {
    if (!IsUsableInput(input) || request.channels > MaxChannels ||
        (request.codec != Mp4CodecAac && request.codec != Mp4CodecAlac))
        return nullptr;
    std::unique_ptr<Mp4AudioEncoder> encoder(new Mp4AudioEncoder);
    AVFormatContext* raw = nullptr;
    // "ipod" is the MP4 muxer as .m4a files want it; it takes both codecs.
    if (avformat_alloc_output_context2(&raw, nullptr, "ipod", nullptr) < 0)
        return nullptr;
    encoder->output_.reset(raw);
    encoder->input_ = input;
    if (!encoder->OpenCodec(request) || !encoder->OpenResampler() || !encoder->OpenStream(path))
        return nullptr;
    return encoder;
}

bool Mp4AudioEncoder::OpenCodec(const Mp4WriterRequest& request) {
    const bool aac = request.codec == Mp4CodecAac;
    const AVCodec* codec = avcodec_find_encoder(aac ? AV_CODEC_ID_AAC : AV_CODEC_ID_ALAC);
    if (codec == nullptr)
        return false;
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_)
        return false;
    const uint32_t rate = request.sampleRate != 0 ? request.sampleRate : input_.nSamplesPerSec;
    encoder_->sample_rate = NearestRate(codec, static_cast<int>(rate));
    const uint32_t channels = request.channels != 0 ? request.channels : input_.nChannels;
    av_channel_layout_default(&encoder_->ch_layout, static_cast<int>(channels));
    if (aac) {
        encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
        encoder_->bit_rate = std::clamp(request.bitRate, MinAacBitRate, MaxAacBitRate);
    } else {
        encoder_->sample_fmt = Deep(input_) ? AV_SAMPLE_FMT_S32P : AV_SAMPLE_FMT_S16P;
        encoder_->bits_per_raw_sample = Deep(input_) ? 24 : 16;
    }
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    if (output_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder_.get(), codec, nullptr) < 0 || encoder_->frame_size <= 0)
        return false;
    frameSize_ = encoder_->frame_size;
    smallLastFrame_ = (codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    if (aac) {
        spool_ = std::make_unique<SampleSpool>(encoder_->ch_layout.nb_channels,
                                               av_get_bytes_per_sample(encoder_->sample_fmt));
        if (!spool_->Valid())
            return false;
    }
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    return frame_ && packet_;
}

bool Mp4AudioEncoder::OpenResampler() {
    AVChannelLayout in{};
    av_channel_layout_default(&in, input_.nChannels);
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &encoder_->ch_layout, encoder_->sample_fmt,
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
    const int capacity = std::max(frameSize_, SampleSpool::BlockFrames) * 2;
    fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, outChannels, capacity));
    return fifo_ != nullptr;
}

bool Mp4AudioEncoder::OpenStream(const std::string& path) {
    AVStream* stream = avformat_new_stream(output_.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, encoder_.get()) < 0)
        return false;
    // Everything that can refuse the formats has accepted them: only now is the file created.
    if (avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    stream->time_base = encoder_->time_base;
    // The edit list counts in the movie's time scale: in sample frames it is exact, in the
    // default milliseconds a short file's length would round away.
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "movie_timescale", encoder_->sample_rate, 0);
    const int written = avformat_write_header(output_.get(), &options);
    av_dict_free(&options);
    return written >= 0;
}

bool Mp4AudioEncoder::Write(const uint8_t* data, uint32_t frameCount) {
    const bool packed24 = input_.wBitsPerSample == 24 && input_.wFormatTag == WAVE_FORMAT_PCM;
    constexpr uint32_t Slice = 1 << 14; // keeps the conversion buffers small for huge writes
    for (uint32_t done = 0; done < frameCount;) {
        const uint32_t count = std::min(Slice, frameCount - done);
        const uint8_t* slice = data + static_cast<size_t>(done) * input_.nBlockAlign;
        const uint8_t* planes[] = {packed24 ? Unpack24(slice, count) : slice};
        if (!Convert(planes, static_cast<int>(count)) || !Pass(false))
            return false;
        done += count;
    }
    return true;
}

const uint8_t* Mp4AudioEncoder::Unpack24(const uint8_t* data, uint32_t frameCount) {
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

// A null input drains the resampler.
bool Mp4AudioEncoder::Convert(const uint8_t** input, int frameCount) {
    const int room = swr_get_out_samples(resampler_.get(), frameCount);
    if (room < 0)
        return false;
    if (room == 0)
        return true;
    const int channels = encoder_->ch_layout.nb_channels;
    const auto planeBytes = static_cast<size_t>(room) *
                            static_cast<size_t>(av_get_bytes_per_sample(encoder_->sample_fmt));
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

bool Mp4AudioEncoder::Pass(bool end) {
    return spool_ ? SpoolBlocks(end) : EncodeFrames(end);
}

bool Mp4AudioEncoder::SpoolBlocks(bool end) {
    const int channels = encoder_->ch_layout.nb_channels;
    const auto planeBytes = static_cast<size_t>(SampleSpool::BlockFrames) *
                            static_cast<size_t>(av_get_bytes_per_sample(encoder_->sample_fmt));
    block_.resize(planeBytes * static_cast<size_t>(channels));
    planes_.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c)
        planes_[static_cast<size_t>(c)] = block_.data() + static_cast<size_t>(c) * planeBytes;
    for (;;) {
        const int held = av_audio_fifo_size(fifo_.get());
        const int count = std::min(held, SampleSpool::BlockFrames);
        if (count == 0 || (!end && count < SampleSpool::BlockFrames))
            return true;
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(planes_.data()), count) !=
                count ||
            !spool_->Append(planes_.data(), count))
            return false;
    }
}

bool Mp4AudioEncoder::EncodeFrames(bool end) {
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

bool Mp4AudioEncoder::EncodeFrame(int frameCount) {
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

// Sends a frame (null at the end) and writes every packet the encoder has ready.
bool Mp4AudioEncoder::Drain(const AVFrame* frame) {
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
        // Every AAC packet decodes to a whole frame, the last one too: the sample table then
        // spans what a decoder gives, and the edit list alone says what of it is the audio.
        if (spool_)
            packet_->duration = frameSize_;
        ++packets_;
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, stream->time_base);
        if (av_write_frame(output_.get(), packet_.get()) < 0)
            return false;
    }
}

bool Mp4AudioEncoder::WriteSilence(int frameCount) {
    if (frameCount <= 0)
        return true;
    const int channels = encoder_->ch_layout.nb_channels;
    std::vector<uint8_t> silence(
        static_cast<size_t>(frameCount) *
        static_cast<size_t>(av_get_bytes_per_sample(encoder_->sample_fmt)));
    std::vector<void*> planes(static_cast<size_t>(channels), silence.data());
    return av_audio_fifo_write(fifo_.get(), planes.data(), frameCount) == frameCount;
}

// The silence that makes priming + length whole frames goes first; the frame timestamps start
// below zero by as much, so the muxer's edit list skips it along with the encoder's own priming.
bool Mp4AudioEncoder::ReplaySpool() {
    const auto length = spool_->Frames();
    // The platform's demuxer drops a first audio frame that begins with more than half a frame
    // of skipped samples: an input that short is padded at its end instead, and decodes one
    // frame long.
    const auto pad = length > frameSize_ / 2
                         ? static_cast<int>((frameSize_ - length % frameSize_) % frameSize_)
                         : 0;
    nextPts_ = -pad;
    priming_ = encoder_->initial_padding + pad;
    if (!WriteSilence(pad) || !spool_->Rewind())
        return false;
    const int channels = encoder_->ch_layout.nb_channels;
    const auto planeBytes = static_cast<size_t>(SampleSpool::BlockFrames) *
                            static_cast<size_t>(av_get_bytes_per_sample(encoder_->sample_fmt));
    for (int c = 0; c < channels; ++c)
        planes_[static_cast<size_t>(c)] = block_.data() + static_cast<size_t>(c) * planeBytes;
    for (;;) {
        const int count = spool_->ReadBlock(planes_.data());
        if (count < 0)
            return false;
        if (count == 0)
            return EncodeFrames(true);
        if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(planes_.data()), count) !=
                count ||
            !EncodeFrames(false))
            return false;
    }
}

bool Mp4AudioEncoder::Finish() {
    if (!Convert(nullptr, 0) || !Pass(true))
        return false;
    if (spool_ && !ReplaySpool())
        return false;
    if (!Drain(nullptr) || av_write_trailer(output_.get()) < 0)
        return false;
    const bool written = output_->pb->error == 0;
    return avio_closep(&output_->pb) == 0 && written;
}

std::optional<Mp4Gapless> Mp4AudioEncoder::Gapless() const {
    if (!spool_)
        return std::nullopt;
    const int64_t length = spool_->Frames();
    const int64_t padding = packets_ * frameSize_ - priming_ - length;
    return Mp4Gapless{static_cast<uint32_t>(priming_),
                      static_cast<uint32_t>(std::max<int64_t>(padding, 0)),
                      static_cast<uint64_t>(length)};
}

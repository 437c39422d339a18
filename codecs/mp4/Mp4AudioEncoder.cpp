#include "codecs/mp4/Mp4AudioEncoder.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr uint32_t MaxChannels = 8;
constexpr uint32_t MaxInputRate = 768000;
constexpr uint32_t MinAacBitRate = 16000;
constexpr uint32_t MaxAacBitRate = 512000;

bool IsUsableInput(const WAVEFORMATEX& f) {
    return FfmpegAudioWriter::InputSampleFormat(f) != AV_SAMPLE_FMT_NONE && f.nChannels >= 1 &&
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

bool Deep(const WAVEFORMATEX& input) {
    return Mp4AlacSampleBits(input) > 16;
}
} // namespace

std::unique_ptr<Mp4AudioEncoder> Mp4AudioEncoder::Open(const std::string& path,
                                                       const WAVEFORMATEX& input,
                                                       const Mp4WriterRequest& request,
                                                       int& refusedErrno) {
    refusedErrno = 0;
    if (!IsUsableInput(input) || request.channels > MaxChannels ||
        (request.codec != Mp4CodecAac && request.codec != Mp4CodecAlac))
        return nullptr;
    std::unique_ptr<Mp4AudioEncoder> encoder(new Mp4AudioEncoder);
    encoder->input_ = input;
    // "ipod" is the MP4 muxer as .m4a files want it; it takes both codecs.
    if (!encoder->writer_.OpenOutput("ipod") || !encoder->OpenCodec(request))
        return nullptr;
    FfmpegAudioWriter& writer = encoder->writer_;
    const int fifoFrames = std::max(writer.FrameSize(), SampleSpool::BlockFrames) * 2;
    if (!writer.OpenResampler(input, fifoFrames))
        return nullptr;
    if (!encoder->OpenStream(path)) {
        refusedErrno = writer.RefusedWriteErrno();
        return nullptr;
    }
    return encoder;
}

bool Mp4AudioEncoder::OpenCodec(const Mp4WriterRequest& request) {
    const bool aac = request.codec == Mp4CodecAac;
    const AVCodec* codec = avcodec_find_encoder(aac ? AV_CODEC_ID_AAC : AV_CODEC_ID_ALAC);
    if (codec == nullptr)
        return false;
    AVCodecContext* encoder = writer_.NewEncoder(codec);
    if (encoder == nullptr)
        return false;
    const uint32_t rate = request.sampleRate != 0 ? request.sampleRate : input_.nSamplesPerSec;
    encoder->sample_rate = NearestRate(codec, static_cast<int>(rate));
    const uint32_t channels = request.channels != 0 ? request.channels : input_.nChannels;
    if (!FfmpegAudioWriter::CodecLayout(*codec, static_cast<int>(channels), encoder->ch_layout))
        return false;
    if (aac) {
        encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
        encoder->bit_rate = std::clamp(request.bitRate, MinAacBitRate, MaxAacBitRate);
    } else {
        encoder->sample_fmt = Deep(input_) ? AV_SAMPLE_FMT_S32P : AV_SAMPLE_FMT_S16P;
        encoder->bits_per_raw_sample = Deep(input_) ? 24 : 16;
    }
    encoder->time_base = AVRational{1, encoder->sample_rate};
    if (!writer_.OpenEncoder())
        return false;
    if (aac) {
        spool_ = std::make_unique<SampleSpool>(writer_.Channels(), writer_.BytesPerSample());
        if (!spool_->Valid())
            return false;
        // Every AAC packet decodes to a whole frame, the last one too: the sample table then
        // spans what a decoder gives, and the edit list alone says what of it is the audio.
        writer_.SetPacketDuration(writer_.FrameSize());
    }
    return true;
}

bool Mp4AudioEncoder::OpenStream(const std::string& path) {
    // The edit list counts in the movie's time scale: in sample frames it is exact, in the
    // default milliseconds a short file's length would round away.
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "movie_timescale", writer_.Encoder().sample_rate, 0);
    const bool opened = writer_.OpenFile(path, &options);
    av_dict_free(&options);
    return opened;
}

bool Mp4AudioEncoder::Write(const uint8_t* data, uint32_t frameCount) {
    return writer_.Write(data, frameCount, [this] { return Pass(false); });
}

bool Mp4AudioEncoder::Pass(bool end) {
    return spool_ ? SpoolBlocks(end) : writer_.EncodeFrames(end);
}

void Mp4AudioEncoder::PlanBlock() {
    const int channels = writer_.Channels();
    const auto planeBytes = static_cast<size_t>(SampleSpool::BlockFrames) *
                            static_cast<size_t>(writer_.BytesPerSample());
    block_.resize(planeBytes * static_cast<size_t>(channels));
    planes_.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c)
        planes_[static_cast<size_t>(c)] = block_.data() + static_cast<size_t>(c) * planeBytes;
}

bool Mp4AudioEncoder::SpoolBlocks(bool end) {
    PlanBlock();
    AVAudioFifo* fifo = writer_.Fifo();
    for (;;) {
        const int held = av_audio_fifo_size(fifo);
        const int count = std::min(held, SampleSpool::BlockFrames);
        if (count == 0 || (!end && count < SampleSpool::BlockFrames))
            return true;
        if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(planes_.data()), count) != count ||
            !spool_->Append(planes_.data(), count))
            return false;
    }
}

// The silence that makes priming + length whole frames goes first; the frame timestamps start
// below zero by as much, so the muxer's edit list skips it along with the encoder's own priming.
bool Mp4AudioEncoder::ReplaySpool() {
    const auto length = spool_->Frames();
    const int frameSize = writer_.FrameSize();
    // The platform's demuxer drops a first audio frame that begins with more than half a frame
    // of skipped samples: an input that short is padded at its end instead, and decodes one
    // frame long.
    const auto pad =
        length > frameSize / 2 ? static_cast<int>((frameSize - length % frameSize) % frameSize) : 0;
    writer_.SetNextPts(-pad);
    priming_ = writer_.Encoder().initial_padding + pad;
    if (!writer_.WriteSilence(pad) || !spool_->Rewind())
        return false;
    PlanBlock();
    for (;;) {
        const int count = spool_->ReadBlock(planes_.data());
        if (count < 0)
            return false;
        if (count == 0)
            return writer_.EncodeFrames(true);
        if (av_audio_fifo_write(writer_.Fifo(), reinterpret_cast<void**>(planes_.data()), count) !=
                count ||
            !writer_.EncodeFrames(false))
            return false;
    }
}

bool Mp4AudioEncoder::Finish() {
    if (!writer_.FlushResampler() || !Pass(true))
        return false;
    if (spool_ && !ReplaySpool())
        return false;
    return writer_.Finish();
}

std::optional<Mp4Gapless> Mp4AudioEncoder::Gapless() const {
    if (!spool_)
        return std::nullopt;
    const int64_t length = spool_->Frames();
    const int64_t padding = writer_.PacketsWritten() * writer_.FrameSize() - priming_ - length;
    return Mp4Gapless{static_cast<uint32_t>(priming_),
                      static_cast<uint32_t>(std::max<int64_t>(padding, 0)),
                      static_cast<uint64_t>(length)};
}

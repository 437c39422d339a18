#include "codecs/wma/AsfAudioDecoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "system/UniqueFd.h"

namespace {
constexpr uint32_t MaxChannels = 8;
constexpr int MaxSampleRate = 384000;
// Corrupt packets are skipped, as players do; a stream that yields nothing after this many
// failures in a row is not worth reading on.
constexpr int MaxConsecutiveFailures = 64;
// How much shorter than its header's play time a file may decode before it counts as cut.
constexpr uint64_t PlayTimeTolerance = 500;

bool IsProtected(const AVFormatContext* context) {
    // The ASF demuxer opens protected files but marks them with these keys.
    return av_dict_get(context->metadata, "ASF_Protection_Type", nullptr, 0) != nullptr ||
           av_dict_get(context->metadata, "encryption", nullptr, 0) != nullptr;
}

uint32_t ToMilliseconds(int64_t value, AVRational timeBase) {
    if (value <= 0 || value == AV_NOPTS_VALUE)
        return 0;
    const int64_t ms = av_rescale_q(value, timeBase, AVRational{1, 1000});
    return static_cast<uint32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<uint32_t>::max()));
}
} // namespace

std::unique_ptr<AsfAudioDecoder> AsfAudioDecoder::Open(const std::string& path, HRESULT* failure) {
    HRESULT unused = S_OK;
    HRESULT& why = failure ? *failure : unused;
    why = E_FAIL;
    std::unique_ptr<AsfAudioDecoder> decoder(new AsfAudioDecoder);
    // A file that does not open as ASF (cut short, another format under a .wma name) cannot be
    // read; only an ASF file whose audio has no decoder is the codec's failure.
    if (decoder->OpenInput(path) < 0) {
        why = WMA_E_UNREADABLE;
        return nullptr;
    }
    if (!decoder->FindAudio())
        return nullptr;
    why = S_OK;
    return decoder;
}

int AsfAudioDecoder::OpenInput(const std::string& path) {
    // Only a regular file, and the open never waits (a FIFO without a writer would).
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!file.Valid() || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return AVERROR(EIO);
    fileBytes_ = static_cast<uint64_t>(info.st_size);
    header_ = AsfHeader::Read(file.Get()).value_or(AsfHeader{});
    // FFmpeg opens the very file checked here, through its descriptor's link where there is one.
    const std::string link = "/proc/self/fd/" + std::to_string(file.Get());
    const std::string& name = access(link.c_str(), R_OK) == 0 ? link : path;
    AVFormatContext* raw = nullptr;
    // Only ASF: a file named .wma in another container is not a Windows Media file.
    const int result =
        avformat_open_input(&raw, name.c_str(), av_find_input_format("asf"), nullptr);
    if (result >= 0)
        input_.reset(raw);
    return result;
}

bool AsfAudioDecoder::FindAudio() {
    streamIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (streamIndex_ < 0)
        return false;
    // The encryption objects mark protected content whatever their fields hold.
    protected_ = header_.encrypted || IsProtected(input_.get());
    if (!protected_ && !OpenDecoder())
        return false;
    const AVCodecParameters* params = input_->streams[streamIndex_]->codecpar;
    const int rate = decoder_ ? decoder_->sample_rate : params->sample_rate;
    const int channels = decoder_ ? decoder_->ch_layout.nb_channels : params->ch_layout.nb_channels;
    if (rate <= 0 || rate > MaxSampleRate || channels <= 0 ||
        static_cast<uint32_t>(channels) > MaxChannels)
        return false;
    outputFormat_ = MakePcmFormat(static_cast<uint16_t>(channels), static_cast<uint32_t>(rate), 16);
    durationMs_ = ToMilliseconds(input_->duration, AVRational{1, AV_TIME_BASE});
    if (durationMs_ == 0) {
        const AVStream* stream = input_->streams[streamIndex_];
        durationMs_ = ToMilliseconds(stream->duration, stream->time_base);
    }
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
        if (static_cast<int>(i) != streamIndex_)
            input_->streams[i]->discard = AVDISCARD_ALL;
    }
    return true;
}

bool AsfAudioDecoder::OpenDecoder() {
    const AVCodecParameters* params = input_->streams[streamIndex_]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(params->codec_id);
    if (codec == nullptr)
        return true; // reported as a missing codec once started
    decoder_.reset(avcodec_alloc_context3(codec));
    if (!decoder_ || avcodec_parameters_to_context(decoder_.get(), params) < 0)
        return false;
    decoder_->pkt_timebase = input_->streams[streamIndex_]->time_base;
    return avcodec_open2(decoder_.get(), codec, nullptr) == 0;
}

WMAudioStatus AsfAudioDecoder::Run(const Delivery& deliver, const std::atomic<bool>& stop) {
    if (protected_)
        return WMA_STATUS_NO_RIGHTS;
    if (!decoder_)
        return WMA_STATUS_MISSING_CODEC;
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        return WMA_STATUS_ERROR;
    int failures = 0;
    while (!stop) {
        const int read = av_read_frame(input_.get(), packet.get());
        if (read == AVERROR_EOF)
            break;
        if (read < 0)
            return WMA_STATUS_ERROR;
        const bool ours = packet->stream_index == streamIndex_;
        const bool decoded = !ours || DecodePacket(packet.get(), deliver);
        av_packet_unref(packet.get());
        failures = decoded ? 0 : failures + 1;
        if (failures > MaxConsecutiveFailures)
            return WMA_STATUS_ERROR;
    }
    if (stop)
        return WMA_STATUS_END_OF_FILE;
    DecodePacket(nullptr, deliver);
    if (resampler_.IsOpen() && !DeliverConverted(resampler_.Flush(), deliver))
        return WMA_STATUS_ERROR;
    return framesDecoded_ > 0 && !EndedEarly() ? WMA_STATUS_END_OF_FILE : WMA_STATUS_ERROR;
}

bool AsfAudioDecoder::EndedEarly() const {
    if (header_.promisedBytes != 0 && fileBytes_ < header_.promisedBytes)
        return true;
    // Decoders start a frame or so late; anything beyond that was promised and is missing.
    const uint64_t deliveredMs = samplesDelivered_ * 1000 / outputFormat_.nSamplesPerSec;
    return deliveredMs + PlayTimeTolerance < header_.promisedMs;
}

// False when the packet could not be decoded or its samples not converted.
bool AsfAudioDecoder::DecodePacket(const AVPacket* packet, const Delivery& deliver) {
    if (avcodec_send_packet(decoder_.get(), packet) < 0)
        return false;
    FramePtr frame(av_frame_alloc());
    if (!frame)
        return false;
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), frame.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return false;
        ++framesDecoded_;
        const bool delivered = DeliverFrame(frame.get(), deliver);
        av_frame_unref(frame.get());
        if (!delivered)
            return false;
    }
}

bool AsfAudioDecoder::DeliverFrame(const AVFrame* frame, const Delivery& deliver) {
    if (frame->nb_samples <= 0)
        return true;
    if (!PrepareResampler(frame))
        return false;
    return DeliverConverted(resampler_.Convert(*frame), deliver);
}

// The decoder may change its sample format, rate or layout mid-stream; the output stays fixed.
bool AsfAudioDecoder::PrepareResampler(const AVFrame* frame) {
    if (resampler_.Takes(*frame))
        return true;
    if (frame->sample_rate <= 0 || frame->sample_rate > MaxSampleRate ||
        frame->ch_layout.nb_channels <= 0)
        return false;
    ChannelLayout out;
    out.SetDefault(outputFormat_.nChannels);
    return resampler_.OpenFor(*frame, *out.Get(), AV_SAMPLE_FMT_S16,
                              static_cast<int>(outputFormat_.nSamplesPerSec));
}

bool AsfAudioDecoder::DeliverConverted(int converted, const Delivery& deliver) {
    if (converted < 0)
        return false;
    if (converted > 0) {
        const uint64_t timeMs = samplesDelivered_ * 1000 / outputFormat_.nSamplesPerSec;
        samplesDelivered_ += static_cast<uint64_t>(converted);
        deliver(resampler_.Output(), static_cast<uint32_t>(converted) * outputFormat_.nBlockAlign,
                timeMs);
    }
    return true;
}

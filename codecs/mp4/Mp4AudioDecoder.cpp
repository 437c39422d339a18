#include "codecs/mp4/Mp4AudioDecoder.h"

#include <algorithm>
#include <cstring>

#include "codecs/mp4/Mp4SampleTable.h"

namespace {
constexpr int MaxChannels = 8;

uint32_t CodecOf(AVCodecID id) {
    if (id == AV_CODEC_ID_AAC)
        return Mp4CodecAac;
    return id == AV_CODEC_ID_ALAC ? Mp4CodecAlac : 0u;
}
} // namespace

std::unique_ptr<Mp4AudioDecoder> Mp4AudioDecoder::Open(const std::string& path) {
    std::unique_ptr<Mp4AudioDecoder> decoder(new Mp4AudioDecoder);
    if (!decoder->OpenInput(path) || !decoder->OpenDecoder())
        return nullptr;
    return decoder;
}

bool Mp4AudioDecoder::OpenInput(const std::string& path) {
    // Only the MP4 demuxer: a file of another kind under this name is refused, not guessed at.
    const AVInputFormat* mp4 = av_find_input_format("mov");
    AVFormatContext* raw = nullptr;
    if (mp4 == nullptr || avformat_open_input(&raw, path.c_str(), mp4, nullptr) < 0)
        return false;
    input_.reset(raw);
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
        const AVCodecParameters* p = input_->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_AUDIO && CodecOf(p->codec_id) != 0) {
            streamIndex_ = static_cast<int>(i);
            break;
        }
    }
    if (streamIndex_ < 0)
        return false;
    // Tables that disagree would decode to a part of the audio as if it were all of it.
    const auto table = Mp4SampleTable::Read(input_->pb, input_->streams[streamIndex_]->id);
    if (table && !table->Agrees())
        return false;
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
        if (static_cast<int>(i) != streamIndex_)
            input_->streams[i]->discard = AVDISCARD_ALL;
    }
    return true;
}

bool Mp4AudioDecoder::OpenDecoder() {
    const AVCodecParameters* p = input_->streams[streamIndex_]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(p->codec_id);
    if (codec == nullptr)
        return false;
    decoder_.reset(avcodec_alloc_context3(codec));
    if (decoder_) {
        // A decoder that can (ALAC) works on several frames at once, one per core.
        decoder_->thread_count = 0;
        decoder_->thread_type = FF_THREAD_FRAME;
    }
    if (!decoder_ || avcodec_parameters_to_context(decoder_.get(), p) < 0 ||
        avcodec_open2(decoder_.get(), codec, nullptr) < 0)
        return false;
    const int channels = decoder_->ch_layout.nb_channels;
    if (channels < 1 || channels > MaxChannels || !IsUsableSampleRate(decoder_->sample_rate))
        return false;
    const bool deep = av_get_bytes_per_sample(decoder_->sample_fmt) > 2 &&
                      decoder_->sample_fmt != AV_SAMPLE_FMT_FLTP &&
                      decoder_->sample_fmt != AV_SAMPLE_FMT_FLT;
    format_ = Mp4ReaderFormat{CodecOf(p->codec_id), static_cast<uint32_t>(channels),
                              static_cast<uint32_t>(decoder_->sample_rate), deep ? 24u : 16u};
    // Only the sample format changes: the rate and the channels stay the decoder's.
    if (!converter_.Open(decoder_->ch_layout, decoder_->sample_fmt, decoder_->sample_rate,
                         decoder_->ch_layout, deep ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16,
                         decoder_->sample_rate))
        return false;
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    return frame_ && packet_;
}

int Mp4AudioDecoder::Read(uint8_t* pcm, uint32_t capacity, uint32_t* bytes) {
    *bytes = 0;
    const uint32_t frameBytes = format_.channels * format_.bitsPerSample / 8;
    capacity -= capacity % frameBytes;
    while (pendingOffset_ == pending_.size()) {
        pending_.clear();
        pendingOffset_ = 0;
        if (ended_ != Mp4Ok)
            return ended_;
        ended_ = DecodeMore();
    }
    const size_t count = std::min<size_t>(capacity, pending_.size() - pendingOffset_);
    std::memcpy(pcm, pending_.data() + pendingOffset_, count);
    pendingOffset_ += count;
    *bytes = static_cast<uint32_t>(count);
    return Mp4Ok;
}

int Mp4AudioDecoder::DecodeMore() {
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (received == 0) {
            const bool converted = Convert(*frame_);
            av_frame_unref(frame_.get());
            if (!converted)
                return Mp4InputBroken;
            if (!pending_.empty())
                return Mp4Ok;
            continue;
        }
        if (received == AVERROR_EOF)
            return Mp4EndOfInput;
        if (received != AVERROR(EAGAIN))
            return Mp4InputBroken;
        if (const int sent = SendNextPacket(); sent != Mp4Ok)
            return sent;
    }
}

int Mp4AudioDecoder::SendNextPacket() {
    if (inputEnded_)
        return Mp4InputBroken; // the decoder wants more after it was told the input ended
    for (;;) {
        const int got = av_read_frame(input_.get(), packet_.get());
        if (got == AVERROR_EOF) {
            inputEnded_ = true;
            // Fewer packets than the sample table lists: the file was cut short.
            const int64_t listed = input_->streams[streamIndex_]->nb_frames;
            if (listed > 0 && packetsRead_ < listed)
                return Mp4InputBroken;
            return avcodec_send_packet(decoder_.get(), nullptr) < 0 ? Mp4InputBroken : Mp4Ok;
        }
        if (got < 0)
            return Mp4InputBroken;
        if (packet_->stream_index != streamIndex_) {
            av_packet_unref(packet_.get());
            continue;
        }
        ++packetsRead_;
        const bool corrupt = (packet_->flags & AV_PKT_FLAG_CORRUPT) != 0;
        const int sent = corrupt ? -1 : avcodec_send_packet(decoder_.get(), packet_.get());
        av_packet_unref(packet_.get());
        return sent < 0 ? Mp4InputBroken : Mp4Ok;
    }
}

bool Mp4AudioDecoder::Convert(const AVFrame& frame) {
    if (frame.nb_samples <= 0)
        return true;
    // A stream that changes its format midway cannot go on into the same output.
    if (frame.ch_layout.nb_channels != static_cast<int>(format_.channels) ||
        frame.sample_rate != static_cast<int>(format_.sampleRate) ||
        frame.format != decoder_->sample_fmt)
        return false;
    // The same rate in and out: every frame converts whole, nothing is held back for a flush.
    if (converter_.Convert(frame) != frame.nb_samples)
        return false;
    const size_t values = static_cast<size_t>(frame.nb_samples) * format_.channels;
    const uint8_t* converted = converter_.Output();
    if (format_.bitsPerSample != 24) {
        pending_.assign(converted, converted + values * 2);
        return true;
    }
    // 32-bit samples whose top three bytes are the 24-bit ones.
    pending_.resize(values * 3);
    for (size_t i = 0; i < values; ++i) {
        uint32_t v = 0;
        std::memcpy(&v, converted + i * 4, 4);
        pending_[i * 3] = static_cast<uint8_t>(v >> 8);
        pending_[i * 3 + 1] = static_cast<uint8_t>(v >> 16);
        pending_[i * 3 + 2] = static_cast<uint8_t>(v >> 24);
    }
    return true;
}

void Mp4AudioDecoder::Progress(uint64_t* position, uint64_t* size) const {
    const int64_t at = input_->pb != nullptr ? avio_tell(input_->pb) : 0;
    const int64_t total = input_->pb != nullptr ? avio_size(input_->pb) : 0;
    *position = at > 0 ? static_cast<uint64_t>(at) : 0;
    *size = total > 0 ? static_cast<uint64_t>(total) : 0;
}

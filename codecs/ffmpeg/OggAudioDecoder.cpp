#include "codecs/ffmpeg/OggAudioDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "codecs/OggEnding.h"

namespace {
constexpr int OpusRate = 48000;

struct CodecFacts {
    std::string_view signature; // how its first header packet begins
    const char* decoder;        // FFmpeg's own
    std::size_t headers;        // header packets at the start of each link
};

const CodecFacts& Facts(XiphCodec codec) {
    static const CodecFacts opus{"OpusHead", "opus", 2};
    static const CodecFacts vorbis{std::string_view("\x01vorbis", 7), "vorbis", 3};
    return codec == XiphCodec::Opus ? opus : vorbis;
}

uint32_t LittleEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// FFmpeg's Vorbis decoder takes the three headers in Xiph lacing: their count less one, the
// sizes of all but the last in 255-byte steps, then the packets.
std::vector<uint8_t> XiphLaced(const std::vector<std::vector<uint8_t>>& packets) {
    std::vector<uint8_t> laced{static_cast<uint8_t>(packets.size() - 1)};
    for (std::size_t i = 0; i + 1 < packets.size(); ++i) {
        laced.insert(laced.end(), packets[i].size() / 255, 255);
        laced.push_back(static_cast<uint8_t>(packets[i].size() % 255));
    }
    for (const auto& packet : packets)
        laced.insert(laced.end(), packet.begin(), packet.end());
    return laced;
}
} // namespace

OggAudioDecoder::OggAudioDecoder(int fd, XiphCodec codec)
    : codec_(codec), file_{fd}, pages_(file_, Facts(codec).signature) {}

std::unique_ptr<OggAudioDecoder> OggAudioDecoder::Open(int fd, XiphCodec codec) {
    std::unique_ptr<OggAudioDecoder> made(new (std::nothrow) OggAudioDecoder(fd, codec));
    if (!made || OggWholeLinks(made->file_, Facts(codec).signature) == 0)
        return nullptr;
    made->file_.position = 0;
    // The first link's headers give the shape of what reading delivers.
    while (made->channels_ == 0)
        if (made->broken_ || !made->TakePage())
            return nullptr;
    return made;
}

void OggAudioDecoder::Position(uint64_t& done, uint64_t& total) const {
    done = file_.position;
    total = file_.Size();
}

int32_t OggAudioDecoder::Read(float* pcm, uint32_t maxFrames) {
    if (served_ == pending_.size()) {
        pending_.clear();
        served_ = 0;
        if (!Fill())
            return broken_ ? -1 : 0;
    }
    const auto channels = static_cast<std::size_t>(channels_);
    const std::size_t frames =
        std::min<std::size_t>({(pending_.size() - served_) / channels, maxFrames, 1u << 24});
    std::memcpy(pcm, pending_.data() + served_, frames * channels * sizeof(float));
    served_ += frames * channels;
    return static_cast<int32_t>(frames);
}

bool OggAudioDecoder::Fill() {
    while (pending_.empty() && !broken_)
        if (!TakePage())
            return false;
    return !broken_;
}

// False at the end of the file, and when broken_ is set.
bool OggAudioDecoder::TakePage() {
    const OggStreamPages::Next next = pages_.Read();
    if (next != OggStreamPages::Next::Page) {
        // Every link closes with its stream's last page, or the file lost audio.
        broken_ = next == OggStreamPages::Next::Failed || inLink_;
        return false;
    }
    if (pages_.BeginsLink()) {
        if (inLink_)
            return !(broken_ = true);
        headers_.clear();
        inLink_ = true;
        timed_ = false;
        delay_ = start_ = produced_ = drop_ = kept_ = 0;
    }
    if (!inLink_)
        return !(broken_ = true);
    const std::size_t first = pending_.size();
    bool audio = false;
    for (const ogg_packet& packet : pages_.Packets()) {
        const bool header = headers_.size() < Facts(codec_).headers;
        if (header ? !TakeHeader(packet)
                   : packet.bytes > 0 &&
                         !decoder_.Decode(packet.packet, static_cast<std::size_t>(packet.bytes),
                                          pending_))
            return !(broken_ = true);
        audio = audio || !header;
    }
    if (audio && !Trim(first))
        return !(broken_ = true);
    if (pages_.Closes()) {
        // A link that ends before its headers do holds no audio.
        if (headers_.size() < Facts(codec_).headers)
            return !(broken_ = true);
        inLink_ = false;
    }
    return true;
}

bool OggAudioDecoder::TakeHeader(const ogg_packet& packet) {
    if (packet.bytes <= 0)
        return false;
    headers_.emplace_back(packet.packet, packet.packet + packet.bytes);
    return headers_.size() < Facts(codec_).headers || OpenLink();
}

bool OggAudioDecoder::OpenLink() {
    const std::vector<uint8_t>& head = headers_.front();
    int rate = 0;
    if (codec_ == XiphCodec::Opus) {
        // Version 0.x, a channel count, the pre-skip; then the comment packet.
        if (head.size() < 19 || (head[8] & 0xF0) != 0 || head[9] == 0 || head[9] > 8 ||
            headers_[1].size() < 8 || std::memcmp(headers_[1].data(), "OpusTags", 8) != 0)
            return false;
        delay_ = LittleEndian(&head[10], 2);
        rate = OpusRate;
    } else {
        // The identification header is 30 bytes; the comment and setup headers follow.
        if (head.size() < 30 || head[11] == 0 || headers_[1].size() < 7 || headers_[1][0] != 3 ||
            headers_[2].size() < 7 || headers_[2][0] != 5)
            return false;
        rate = static_cast<int>(std::min<uint32_t>(LittleEndian(&head[12], 4), 1u << 30));
        if (rate < 1000 || rate > 768000)
            return false;
    }
    const bool opened = decoder_.Open(Facts(codec_).decoder,
                                      codec_ == XiphCodec::Opus ? head : XiphLaced(headers_));
    drop_ = delay_;
    // A later link of another shape would change the format mid-file.
    if (!opened || (channels_ != 0 && (decoder_.Channels() != channels_ || rate != rate_)))
        return false;
    channels_ = decoder_.Channels();
    rate_ = rate;
    return channels_ > 0;
}

bool OggAudioDecoder::Trim(std::size_t first) {
    const auto channels = static_cast<std::size_t>(channels_);
    const auto frames = static_cast<int64_t>((pending_.size() - first) / channels);
    produced_ += frames;
    const int64_t granule = pages_.Granule();
    const bool closes = pages_.Closes();
    if (!timed_ && granule >= 0) {
        // The first page where audio completes dates the link's start.
        timed_ = true;
        start_ = granule - produced_;
        if (start_ < 0 && !closes) {
            // Vorbis drops what comes before time zero; an Opus stream must not start there.
            if (codec_ == XiphCodec::Opus)
                return false;
            drop_ += -start_;
        }
    }
    const int64_t dropped = std::min(drop_, frames);
    drop_ -= dropped;
    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(first),
                   pending_.begin() + static_cast<std::ptrdiff_t>(first + dropped * channels));
    kept_ += frames - dropped;
    if (!closes)
        return true;
    // The last page's granule position ends the link, often within its last packet.
    if (!timed_ || granule < 0)
        return false;
    const int64_t length = std::max<int64_t>(0, granule - std::max<int64_t>(start_, 0) - delay_);
    const int64_t extra = kept_ - length;
    if (extra < 0 || extra > frames - dropped)
        return false; // audio the stream declares is missing, or was already delivered
    pending_.resize(pending_.size() - static_cast<std::size_t>(extra) * channels);
    kept_ = length;
    return true;
}

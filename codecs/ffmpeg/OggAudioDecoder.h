#pragma once
// An Ogg Opus or Ogg Vorbis file decoded whole, link after link, into interleaved float PCM in the
// stream's channel order: the module reads the pages, FFmpeg decodes the packets, and the length
// is the stream's own, as the reference libraries take it: each link starts where its first
// granule position puts it, less an Opus link's pre-skip, and ends at its last granule position.
// A file that is not whole (a page lost or damaged, cut short) does not open.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/StreamFile.h"
#include "codecs/ffmpeg/OggStreamPages.h"
#include "codecs/ffmpeg/XiphPacketDecoder.h"

enum class XiphCodec { Opus, Vorbis };

class OggAudioDecoder {
public:
    // Null when fd holds no whole stream of the codec.
    static std::unique_ptr<OggAudioDecoder> Open(int fd, XiphCodec codec);

    int Channels() const { return channels_; }
    int Rate() const { return rate_; }
    // Up to maxFrames sample frames: the count, 0 at the stream's proper end, -1 when broken.
    int32_t Read(float* pcm, uint32_t maxFrames);
    // Bytes of the file consumed so far, and its size.
    void Position(uint64_t& done, uint64_t& total) const;

private:
    OggAudioDecoder(int fd, XiphCodec codec);
    // Reads pages until audio is pending; false at the end or when the stream is broken.
    bool Fill();
    bool TakePage();
    bool TakeHeader(const ogg_packet& packet);
    bool OpenLink();
    // Places the page's frames, from `first` in pending_, on the link's time line.
    bool Trim(std::size_t first);

    XiphCodec codec_;
    StreamFile file_;
    OggStreamPages pages_;
    XiphPacketDecoder decoder_;
    int channels_ = 0;
    int rate_ = 0;
    bool broken_ = false;

    // The link being read.
    std::vector<std::vector<uint8_t>> headers_;
    bool inLink_ = false;
    bool timed_ = false;   // its first granule position was met
    int64_t delay_ = 0;    // Opus's pre-skip
    int64_t start_ = 0;    // the granule position of its first decoded frame
    int64_t produced_ = 0; // frames decoded
    int64_t drop_ = 0;     // frames still to drop at its start
    int64_t kept_ = 0;     // frames delivered or pending

    std::vector<float> pending_;
    std::size_t served_ = 0; // samples of pending_ already delivered
};

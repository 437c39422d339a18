#pragma once
// FFmpeg's own Opus or Vorbis decoder over the packets of one link, read by the module itself:
// FFmpeg's decoders are about twice as fast as the reference libraries, while the stream's exact
// length stays the module's to work out from its granule positions. The codec library is loaded
// on the first stream read, so that a module that only writes never loads it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "acm/FFmpegHandles.h"

class XiphPacketDecoder {
public:
    // decoder: FFmpeg's name of it; headers: the link's header packets as that decoder takes
    // them. False when FFmpeg lacks the decoder or refuses the headers.
    bool Open(const char* decoder, const std::vector<uint8_t>& headers);
    int Channels() const { return context_ ? context_->ch_layout.nb_channels : 0; }

    // Decodes one packet, appending the float sample frames it gives (none for some packets) to
    // out, interleaved in the stream's own channel order; false when the decoder refuses it.
    bool Decode(const uint8_t* data, std::size_t bytes, std::vector<float>& out);

private:
    bool Append(const AVFrame& frame, std::vector<float>& out);
    void MapChannels(const AVChannelLayout& layout);

    AvCodecContextPtr context_;
    AvPacketPtr packet_;
    AvFramePtr frame_;
    std::vector<int> sources_; // for each channel of the stream's order, FFmpeg's channel index
};

#pragma once
// Decodes the AAC or ALAC audio of an MP4 file into interleaved integer PCM: 16 bits for AAC, the
// stored depth (16, or 24 for anything deeper) for ALAC. The priming the edit list records is
// skipped; a file that ends before its sample table does is reported broken.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/Mp4AudioApi.h"
#include "codecs/ffmpeg/FfmpegHandles.h"
#include "codecs/ffmpeg/FfmpegSampleConverter.h"

class Mp4AudioDecoder {
public:
    // Null when path is no MP4 file with AAC or ALAC audio that can be decoded.
    static std::unique_ptr<Mp4AudioDecoder> Open(const std::string& path);
    Mp4AudioDecoder(const Mp4AudioDecoder&) = delete;
    Mp4AudioDecoder& operator=(const Mp4AudioDecoder&) = delete;

    const Mp4ReaderFormat& Format() const { return format_; }
    // Mp4Ok with some bytes, or Mp4EndOfInput / Mp4InputBroken with none.
    int Read(uint8_t* pcm, uint32_t capacity, uint32_t* bytes);
    void Progress(uint64_t* position, uint64_t* size) const;

private:
    Mp4AudioDecoder() = default;
    bool OpenInput(const std::string& path);
    bool OpenDecoder();
    // Decodes the next frame into pending_; Mp4Ok, Mp4EndOfInput or Mp4InputBroken.
    int DecodeMore();
    int SendNextPacket();
    bool Convert(const AVFrame& frame);

    InputContextPtr input_;
    CodecContextPtr decoder_;
    FfmpegSampleConverter converter_;
    FramePtr frame_;
    PacketPtr packet_;
    Mp4ReaderFormat format_{};
    int streamIndex_ = -1;
    int64_t packetsRead_ = 0;
    bool inputEnded_ = false;
    int ended_ = Mp4Ok;
    std::vector<uint8_t> pending_;
    size_t pendingOffset_ = 0;
};

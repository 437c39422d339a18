#pragma once
// Feeds arbitrary bytes to a stream decoder module's entry points (linked in directly) through an
// in-memory file: whatever it reports must describe what it wrote, and it must come to an end.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/StreamCodecApi.h"

extern "C" int stream_decoder_open(int fd, StreamDecoder** decoder, StreamInfo* info);
extern "C" int32_t stream_decoder_read(StreamDecoder* decoder, void* pcm, uint32_t maxFrames);
extern "C" void stream_decoder_position(StreamDecoder* decoder, uint64_t* done, uint64_t* total);
extern "C" void stream_decoder_close(StreamDecoder* decoder);

inline int FuzzStreamDecoder(const uint8_t* data, std::size_t size) {
    const int fd = memfd_create("fuzz", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (::write(fd, data, size) != static_cast<ssize_t>(size)) {
        ::close(fd);
        return 0;
    }
    StreamDecoder* decoder = nullptr;
    StreamInfo info{};
    if (stream_decoder_open(fd, &decoder, &info) == StreamOk) {
        const uint32_t frameBytes = info.channels * StreamSampleBytes(info.sampleKind);
        if (!decoder || frameBytes == 0 || info.sampleRate == 0)
            std::abort();
        constexpr uint32_t Frames = 4096;
        std::vector<uint8_t> pcm(std::size_t(Frames) * frameBytes);
        // An input this small cannot decode to more than a few minutes at any rate.
        for (int reads = 0;; ++reads) {
            const int32_t got = stream_decoder_read(decoder, pcm.data(), Frames);
            if (got > static_cast<int32_t>(Frames))
                std::abort();
            if (got <= 0)
                break;
            if (reads > 100000)
                std::abort();
        }
        uint64_t done = 0, total = 0;
        stream_decoder_position(decoder, &done, &total);
        stream_decoder_close(decoder);
    }
    ::close(fd);
    return 0;
}

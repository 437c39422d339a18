// The FLAC decoder entry points: a FLAC stream of 4 to 24 bits into 16- or 24-bit PCM (a depth
// between is shifted up to the next), its length and MD5 checked against STREAMINFO at the end.
#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "codecs/PcmSamples.h"
#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamDecoder {
    StreamFile file;
    FLAC__StreamDecoder* flac = nullptr;
    bool haveInfo = false;
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint32_t bits = 0;
    uint64_t total = 0;           // 0: not recorded
    uint64_t frames = 0;          // decoded so far
    uint64_t size = 0;            // of the file, taken once: libFLAC asks for it at every read
    std::vector<uint8_t> pending; // interleaved PCM of Kind(), not yet delivered
    std::size_t taken = 0;        // bytes of pending delivered
    bool broken = false;
    bool ended = false;

    ~StreamDecoder() {
        if (flac)
            FLAC__stream_decoder_delete(flac);
    }
    uint16_t Kind() const { return bits <= 16 ? StreamInt16 : StreamInt24; }
    std::size_t FrameBytes() const { return StreamSampleBytes(Kind()) * std::size_t{channels}; }
};

namespace {
StreamDecoder& Of(void* client) {
    return *static_cast<StreamDecoder*>(client);
}

FLAC__StreamDecoderReadStatus ReadBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                        size_t* bytes, void* client) {
    const long got = Of(client).file.Read(buffer, *bytes);
    *bytes = got > 0 ? static_cast<size_t>(got) : 0;
    return got < 0    ? FLAC__STREAM_DECODER_READ_STATUS_ABORT
           : got == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                      : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus SeekTo(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                     void* client) {
    Of(client).file.position = offset;
    return FLAC__STREAM_DECODER_SEEK_STATUS_OK;
}

FLAC__StreamDecoderTellStatus Tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* client) {
    *offset = Of(client).file.position;
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus Length(const FLAC__StreamDecoder*, FLAC__uint64* length,
                                       void* client) {
    *length = Of(client).size;
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool AtEnd(const FLAC__StreamDecoder*, void* client) {
    return Of(client).file.position >= Of(client).size;
}

FLAC__StreamDecoderWriteStatus TakeFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                         const FLAC__int32* const buffer[], void* client) {
    StreamDecoder& d = Of(client);
    // A frame unlike the stream's header would change the format mid-file.
    if (!d.haveInfo || frame->header.channels != d.channels ||
        frame->header.bits_per_sample != d.bits) {
        d.broken = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    const uint32_t shift = (d.bits <= 16 ? 16 : 24) - d.bits;
    const uint32_t count = frame->header.blocksize;
    const std::size_t start = d.pending.size();
    const std::size_t step = d.FrameBytes();
    const uint32_t sampleBytes = StreamSampleBytes(d.Kind());
    d.pending.resize(start + count * step);
    // Straight into the PCM delivered: one pass over the samples.
    for (uint32_t c = 0; c < d.channels; ++c) {
        uint8_t* out = d.pending.data() + start + c * sampleBytes;
        const auto sample = [&](uint32_t i) {
            return static_cast<int32_t>(static_cast<uint32_t>(buffer[c][i]) << shift);
        };
        if (sampleBytes == 2)
            for (uint32_t i = 0; i < count; ++i, out += step)
                WriteInt16(out, sample(i));
        else
            for (uint32_t i = 0; i < count; ++i, out += step)
                WriteInt24(out, sample(i));
    }
    d.frames += count;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void TakeMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* client) {
    if (block->type != FLAC__METADATA_TYPE_STREAMINFO)
        return;
    StreamDecoder& d = Of(client);
    const FLAC__StreamMetadata_StreamInfo& info = block->data.stream_info;
    d.rate = info.sample_rate;
    d.channels = info.channels;
    d.bits = info.bits_per_sample;
    d.total = info.total_samples;
    d.haveInfo = true;
}

void TakeError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* client) {
    Of(client).broken = true;
}

bool Usable(const StreamDecoder& d) {
    return d.haveInfo && d.channels >= 1 && d.channels <= 8 && d.bits >= 4 && d.bits <= 24 &&
           d.rate >= 1000 && d.rate <= 768000;
}

// Decodes until more than want frames wait or the stream ends; false when it is broken.
bool Decode(StreamDecoder& d, std::size_t want) {
    while (!d.ended && (d.pending.size() - d.taken) / d.FrameBytes() < want) {
        if (!FLAC__stream_decoder_process_single(d.flac) || d.broken)
            return false;
        if (FLAC__stream_decoder_get_state(d.flac) == FLAC__STREAM_DECODER_END_OF_STREAM) {
            d.ended = true;
            // finish() compares the MD5 of what was decoded with the one recorded.
            const bool whole = FLAC__stream_decoder_finish(d.flac);
            return whole && (d.total == 0 || d.total == d.frames);
        }
    }
    return true;
}
} // namespace

BMC_EXPORT int stream_decoder_open(int fd, StreamDecoder** decoder, StreamInfo* info) {
    *decoder = nullptr;
    std::unique_ptr<StreamDecoder> made(new (std::nothrow) StreamDecoder);
    if (!made || !(made->flac = FLAC__stream_decoder_new()))
        return StreamFailed;
    made->file.fd = fd;
    made->size = made->file.Size();
    FLAC__stream_decoder_set_md5_checking(made->flac, true);
    if (FLAC__stream_decoder_init_stream(made->flac, ReadBytes, SeekTo, Tell, Length, AtEnd,
                                         TakeFrame, TakeMetadata, TakeError,
                                         made.get()) != FLAC__STREAM_DECODER_INIT_STATUS_OK ||
        !FLAC__stream_decoder_process_until_end_of_metadata(made->flac) || made->broken ||
        !Usable(*made))
        return StreamFailed;
    *info = StreamInfo{made->rate, static_cast<uint16_t>(made->channels), made->Kind()};
    *decoder = made.release();
    return StreamOk;
}

BMC_EXPORT int32_t stream_decoder_read(StreamDecoder* decoder, void* pcm, uint32_t maxFrames) {
    StreamDecoder& d = *decoder;
    maxFrames = std::min<uint32_t>(maxFrames, 1u << 20);
    if (d.broken || !Decode(d, maxFrames)) {
        d.broken = true;
        return -1;
    }
    const std::size_t frames =
        std::min<std::size_t>((d.pending.size() - d.taken) / d.FrameBytes(), maxFrames);
    const std::size_t count = frames * d.FrameBytes();
    std::memcpy(pcm, d.pending.data() + d.taken, count);
    d.taken += count;
    if (d.taken == d.pending.size()) {
        d.pending.clear();
        d.taken = 0;
    }
    return static_cast<int32_t>(frames);
}

BMC_EXPORT int stream_decoder_seek(StreamDecoder* decoder, uint64_t frame) {
    StreamDecoder& d = *decoder;
    if (d.broken || d.ended || (d.total != 0 && frame >= d.total)) {
        d.broken = true;
        return StreamFailed;
    }
    d.pending.clear();
    d.taken = 0;
    // libFLAC hands over the frame holding the target from the target on, so the count of frames
    // decoded goes on from there; the MD5 of the whole stream is no longer checked.
    d.frames = frame;
    if (!FLAC__stream_decoder_seek_absolute(d.flac, frame) || d.broken) {
        d.broken = true;
        return StreamFailed;
    }
    return StreamOk;
}

BMC_EXPORT void stream_decoder_position(StreamDecoder* decoder, uint64_t* done, uint64_t* total) {
    *done = decoder->file.position;
    *total = decoder->size;
}

BMC_EXPORT void stream_decoder_close(StreamDecoder* decoder) {
    delete decoder;
}

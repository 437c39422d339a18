// The FLAC encoder entry points: 16- or 24-bit PCM into a FLAC stream whose STREAMINFO (length,
// MD5 of the audio) is written over its first copy when the stream ends.
#include <FLAC/stream_encoder.h>

#include <memory>
#include <new>
#include <vector>

#include "codecs/PcmSamples.h"
#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamEncoder {
    StreamFile file;
    FLAC__StreamEncoder* flac = nullptr;
    uint16_t channels = 0;
    uint16_t kind = 0;
    std::vector<FLAC__int32> samples;

    ~StreamEncoder() {
        if (flac)
            FLAC__stream_encoder_delete(flac);
    }
};

namespace {
FLAC__StreamEncoderWriteStatus WriteBytes(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                          size_t bytes, uint32_t, uint32_t, void* client) {
    return static_cast<StreamEncoder*>(client)->file.Write(buffer, bytes)
               ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
               : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus SeekTo(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                     void* client) {
    static_cast<StreamEncoder*>(client)->file.position = offset;
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* client) {
    *offset = static_cast<StreamEncoder*>(client)->file.position;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

bool Configure(FLAC__StreamEncoder* flac, const StreamEncoderConfig& config) {
    const int level = config.setting < 0 ? 0 : config.setting > 8 ? 8 : config.setting;
    return FLAC__stream_encoder_set_channels(flac, config.channels) &&
           FLAC__stream_encoder_set_bits_per_sample(flac, config.sampleKind) &&
           FLAC__stream_encoder_set_sample_rate(flac, config.sampleRate) &&
           // A rate the streamable subset leaves out (above 65535 Hz and no multiple of 10, or
           // above 655350 Hz) is still FLAC: its frames then take it from STREAMINFO.
           FLAC__stream_encoder_set_streamable_subset(
               flac, FLAC__format_sample_rate_is_subset(config.sampleRate)) &&
           FLAC__stream_encoder_set_compression_level(flac, static_cast<uint32_t>(level));
}
} // namespace

BMC_EXPORT int stream_encoder_open(int fd, const StreamEncoderConfig* config,
                                   StreamEncoder** encoder) {
    *encoder = nullptr;
    if (config->sampleKind != StreamInt16 && config->sampleKind != StreamInt24)
        return StreamFailed;
    std::unique_ptr<StreamEncoder> made(new (std::nothrow) StreamEncoder);
    if (!made || !(made->flac = FLAC__stream_encoder_new()))
        return StreamFailed;
    made->file.fd = fd;
    made->channels = config->channels;
    made->kind = config->sampleKind;
    if (!Configure(made->flac, *config))
        return StreamFailed;
    // The stream's first bytes are written here: a refused write is told as such.
    if (FLAC__stream_encoder_init_stream(made->flac, WriteBytes, SeekTo, Tell, nullptr,
                                         made.get()) != FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        return made->file.Status(false);
    *encoder = made.release();
    return StreamOk;
}

BMC_EXPORT int stream_encoder_write(StreamEncoder* encoder, const void* pcm, uint32_t frames) {
    const std::size_t count = std::size_t(frames) * encoder->channels;
    encoder->samples.resize(count);
    const auto* bytes = static_cast<const uint8_t*>(pcm);
    if (encoder->kind == StreamInt16) {
        for (std::size_t i = 0; i < count; ++i)
            encoder->samples[i] = ReadInt16(bytes + 2 * i);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            encoder->samples[i] = ReadInt24(bytes + 3 * i);
    }
    return encoder->file.Status(
        FLAC__stream_encoder_process_interleaved(encoder->flac, encoder->samples.data(), frames));
}

BMC_EXPORT int stream_encoder_finish(StreamEncoder* encoder) {
    const std::unique_ptr<StreamEncoder> owned(encoder);
    return encoder->file.Status(FLAC__stream_encoder_finish(encoder->flac));
}

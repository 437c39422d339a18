// The MP3 encoder module: constant or variable bit rate MP3 through LAME, at LAME's default
// quality.
#include <lame/lame.h>

#include <memory>
#include <new>

#include "codecs/Mp3EncoderApi.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using LamePtr = std::unique_ptr<lame_global_flags, LameDeleter>;

MPEG_mode LameMode(uint8_t mode) {
    switch (mode) {
    case Mp3ModeJointStereo:
        return JOINT_STEREO;
    case Mp3ModeDualChannel:
        return DUAL_CHANNEL;
    case Mp3ModeMono:
        return MONO;
    default:
        return NOT_SET;
    }
}

bool ValidConfig(const Mp3EncoderConfig& config) {
    const bool vbr = config.vbrQuality != Mp3ConstantBitRate;
    return config.kind == Mp3EncoderKindMp3 && config.mode <= Mp3ModeMono &&
           config.sampleRate > 0 && (vbr ? config.vbrQuality <= 9 : config.bitRate > 0);
}

// As the lame tool's -V: its default VBR method at that quality; else the constant bit rate.
void SetBitRate(lame_global_flags* lame, const Mp3EncoderConfig& config) {
    if (config.vbrQuality != Mp3ConstantBitRate) {
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_q(lame, config.vbrQuality);
    } else {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, config.bitRate);
    }
}

// LAME quietly picks another rate or bit rate when asked for one it cannot honour; a stream
// that is not what was asked for is refused instead.
LamePtr OpenLame(const Mp3EncoderConfig& config) {
    LamePtr lame(lame_init());
    if (!lame)
        return nullptr;
    const int channels = config.mode == Mp3ModeMono ? 1 : 2;
    lame_set_num_channels(lame.get(), channels);
    lame_set_in_samplerate(lame.get(), static_cast<int>(config.sampleRate));
    lame_set_out_samplerate(lame.get(), static_cast<int>(config.sampleRate));
    // Plain "stereo" leaves the choice to LAME, as the lame tool does (joint stereo where it
    // pays); the other modes are set as asked.
    if (config.mode != Mp3ModeStereo)
        lame_set_mode(lame.get(), LameMode(config.mode));
    SetBitRate(lame.get(), config);
    lame_set_extension(lame.get(), config.privateBit != 0);
    lame_set_error_protection(lame.get(), config.crc != 0);
    lame_set_copyright(lame.get(), config.copyright != 0);
    lame_set_original(lame.get(), config.original != 0);
    // The placeholder frame that the Info tag replaces at the end (beInfoTagFrame).
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0)
        return nullptr;
    if (lame_get_out_samplerate(lame.get()) != static_cast<int>(config.sampleRate) ||
        (config.vbrQuality == Mp3ConstantBitRate && lame_get_brate(lame.get()) != config.bitRate))
        return nullptr;
    return lame;
}

} // namespace

struct Mp3EncoderStream {
    LamePtr lame;
    uint32_t channels = 0;
    uint32_t samplesPerChunk = 0;
    uint32_t outputSize = 0;
    bool finished = false;
};

BMC_EXPORT uint32_t beInitStream(const Mp3EncoderConfig* config, uint32_t* samplesPerChunk,
                                 uint32_t* outputBufferSize, Mp3EncoderHandle* stream) {
    if (!config || !samplesPerChunk || !outputBufferSize || !stream || !ValidConfig(*config))
        return Mp3EncBadConfig;
    *stream = nullptr;
    LamePtr lame = OpenLame(*config);
    if (!lame)
        return Mp3EncBadConfig;
    auto state = std::unique_ptr<Mp3EncoderStream>(new (std::nothrow) Mp3EncoderStream);
    if (!state)
        return Mp3EncNoMemory;
    state->channels = static_cast<uint32_t>(lame_get_num_channels(lame.get()));
    const auto frameSize = static_cast<uint32_t>(lame_get_framesize(lame.get()));
    state->samplesPerChunk = frameSize * state->channels;
    // LAME's own bound for one call's output: 1.25 × samples per channel + 7200 bytes.
    state->outputSize = frameSize + frameSize / 4 + 7200;
    state->lame = std::move(lame);
    *samplesPerChunk = state->samplesPerChunk;
    *outputBufferSize = state->outputSize;
    *stream = state.release();
    return Mp3EncOk;
}

BMC_EXPORT uint32_t beEncodeChunk(Mp3EncoderHandle stream, uint32_t sampleCount,
                                  const int16_t* samples, uint8_t* output, uint32_t* bytes) {
    if (!stream || !bytes || stream->finished)
        return Mp3EncBadStream;
    *bytes = 0;
    if (sampleCount > stream->samplesPerChunk || sampleCount % stream->channels != 0 ||
        (sampleCount > 0 && (!samples || !output)))
        return Mp3EncBadStream;
    if (sampleCount == 0)
        return Mp3EncOk;
    const auto perChannel = static_cast<int>(sampleCount / stream->channels);
    // LAME takes the samples through non-const pointers but only reads them.
    auto* pcm = const_cast<short*>(reinterpret_cast<const short*>(samples));
    const int written =
        stream->channels == 1
            ? lame_encode_buffer(stream->lame.get(), pcm, nullptr, perChannel, output,
                                 static_cast<int>(stream->outputSize))
            : lame_encode_buffer_interleaved(stream->lame.get(), pcm, perChannel, output,
                                             static_cast<int>(stream->outputSize));
    if (written < 0)
        return Mp3EncFailed;
    *bytes = static_cast<uint32_t>(written);
    return Mp3EncOk;
}

BMC_EXPORT uint32_t beDeinitStream(Mp3EncoderHandle stream, uint8_t* output, uint32_t* bytes) {
    if (!stream || !output || !bytes || stream->finished)
        return Mp3EncBadStream;
    *bytes = 0;
    stream->finished = true;
    const int written =
        lame_encode_flush(stream->lame.get(), output, static_cast<int>(stream->outputSize));
    if (written < 0)
        return Mp3EncFailed;
    *bytes = static_cast<uint32_t>(written);
    return Mp3EncOk;
}

BMC_EXPORT uint32_t beInfoTagFrame(Mp3EncoderHandle stream, uint8_t* output, uint32_t outputSize,
                                   uint32_t* bytes) {
    if (!stream || !output || !bytes || !stream->finished)
        return Mp3EncBadStream;
    const size_t size = lame_get_lametag_frame(stream->lame.get(), output, outputSize);
    // LAME answers with the size it needs when the buffer is too small: nothing was written.
    *bytes = size <= outputSize ? static_cast<uint32_t>(size) : 0;
    return size <= outputSize ? Mp3EncOk : Mp3EncFailed;
}

BMC_EXPORT uint32_t beCloseStream(Mp3EncoderHandle stream) {
    if (!stream)
        return Mp3EncBadStream;
    delete stream;
    return Mp3EncOk;
}

BMC_EXPORT void beVersion(Mp3EncoderVersion* version) {
    if (!version)
        return;
    lame_version_t lame{};
    get_lame_version_numerical(&lame);
    *version =
        Mp3EncoderVersion{1, 0, static_cast<uint8_t>(lame.major), static_cast<uint8_t>(lame.minor)};
}

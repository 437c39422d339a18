// The Opus encoder entry points: float PCM of any rate into an Ogg Opus stream at 48 kHz whose
// header records the input's rate, with pre-skip and end trimming so that it decodes to exactly
// the frames written.
#include <opusenc.h>

#include <memory>
#include <new>

#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamEncoder {
    StreamFile file;
    OggOpusComments* comments = nullptr;
    OggOpusEnc* opus = nullptr;
    uint16_t sampleKind = StreamFloat32;

    ~StreamEncoder() {
        if (opus)
            ope_encoder_destroy(opus);
        if (comments)
            ope_comments_destroy(comments);
    }
};

namespace {
int WriteBytes(void* user, const unsigned char* bytes, opus_int32 count) {
    return static_cast<StreamFile*>(user)->Write(bytes, static_cast<std::size_t>(count)) ? 0 : 1;
}

int Close(void*) {
    return 0;
}

constexpr OpusEncCallbacks Callbacks = {WriteBytes, Close};
} // namespace

BMC_EXPORT int stream_encoder_open(int fd, const StreamEncoderConfig* config,
                                   StreamEncoder** encoder) {
    *encoder = nullptr;
    if ((config->sampleKind != StreamFloat32 && config->sampleKind != StreamInt16) ||
        config->channels < 1 || config->channels > 8)
        return StreamFailed;
    std::unique_ptr<StreamEncoder> made(new (std::nothrow) StreamEncoder);
    if (!made || !(made->comments = ope_comments_create()))
        return StreamFailed;
    made->file.fd = fd;
    made->sampleKind = config->sampleKind;
    int error = 0;
    // Mapping family 1 names the speaker layouts of three to eight channels.
    const int family = config->channels > 2 ? 1 : 0;
    made->opus = ope_encoder_create_callbacks(&Callbacks, &made->file, made->comments,
                                              static_cast<opus_int32>(config->sampleRate),
                                              config->channels, family, &error);
    if (!made->opus || error != OPE_OK)
        return StreamFailed;
    const int kbps = config->setting < 6 ? 6 : config->setting > 510 ? 510 : config->setting;
    if (ope_encoder_ctl(made->opus, OPUS_SET_BITRATE(kbps * 1000)) != OPE_OK)
        return StreamFailed;
    *encoder = made.release();
    return StreamOk;
}

BMC_EXPORT int stream_encoder_write(StreamEncoder* encoder, const void* pcm, uint32_t frames) {
    const int written = encoder->sampleKind == StreamInt16
                            ? ope_encoder_write(encoder->opus, static_cast<const opus_int16*>(pcm),
                                                static_cast<int>(frames))
                            : ope_encoder_write_float(encoder->opus, static_cast<const float*>(pcm),
                                                      static_cast<int>(frames));
    return encoder->file.Status(written == OPE_OK);
}

BMC_EXPORT int stream_encoder_finish(StreamEncoder* encoder) {
    const std::unique_ptr<StreamEncoder> owned(encoder);
    return encoder->file.Status(ope_encoder_drain(encoder->opus) == OPE_OK);
}

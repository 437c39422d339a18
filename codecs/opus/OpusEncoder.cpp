// The Opus encoder entry points: PCM into an Ogg Opus stream at 48 kHz whose head records the
// source's rate, with pre-skip and end trimming so that it decodes to exactly the frames written.
// The core hands over 48 kHz already: its resampler costs under half of libopusenc's.
#include <ogg/ogg.h>
#include <opusenc.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamEncoder {
    StreamFile file;
    // The source's rate for the stream's head, where the core resampled to 48 kHz; 0 once written.
    uint32_t sourceRate = 0;
    OggOpusComments* comments = nullptr;
    OggOpusEnc* opus = nullptr;
    uint16_t sampleKind = StreamFloat32;
    bool wrote = false; // a frame at least

    ~StreamEncoder() {
        if (opus)
            ope_encoder_destroy(opus);
        if (comments)
            ope_comments_destroy(comments);
    }
};

namespace {
constexpr std::size_t PageHeaderBytes = 27;
constexpr std::size_t HeadRateAt = 12; // the source's rate, within the OpusHead packet

// libopusenc writes the OpusHead alone on the stream's first page, in one call: its rate field
// is rewritten and the page's checksum made anew. False for anything else.
bool NameSourceRate(std::vector<unsigned char>& page, uint32_t rate) {
    if (page.size() < PageHeaderBytes || std::memcmp(page.data(), "OggS", 4) != 0)
        return false;
    const std::size_t header = PageHeaderBytes + page[26];
    std::size_t body = 0;
    for (std::size_t i = PageHeaderBytes; i < header && i < page.size(); ++i)
        body += page[i];
    if (page.size() != header + body || body < HeadRateAt + 4 ||
        std::memcmp(&page[header], "OpusHead", 8) != 0)
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        page[header + HeadRateAt + i] = static_cast<unsigned char>(rate >> (8 * i));
    ogg_page view{page.data(), static_cast<long>(header), page.data() + header,
                  static_cast<long>(body)};
    ogg_page_checksum_set(&view);
    return true;
}

int WriteBytes(void* user, const unsigned char* bytes, opus_int32 count) {
    auto* encoder = static_cast<StreamEncoder*>(user);
    const auto size = static_cast<std::size_t>(count);
    if (encoder->sourceRate == 0)
        return encoder->file.Write(bytes, size) ? 0 : 1;
    std::vector<unsigned char> page(bytes, bytes + size);
    const bool named = NameSourceRate(page, encoder->sourceRate);
    encoder->sourceRate = 0;
    return named && encoder->file.Write(page.data(), size) ? 0 : 1;
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
    if (config->sourceRate != config->sampleRate)
        made->sourceRate = config->sourceRate;
    int error = 0;
    // Mapping family 1 names the speaker layouts of three to eight channels.
    const int family = config->channels > 2 ? 1 : 0;
    made->opus = ope_encoder_create_callbacks(&Callbacks, made.get(), made->comments,
                                              static_cast<opus_int32>(config->sampleRate),
                                              config->channels, family, &error);
    if (!made->opus || error != OPE_OK)
        return StreamFailed;
    const int kbps = config->setting < 6 ? 6 : config->setting > 510 ? 510 : config->setting;
    // Unconstrained VBR, as the reference encoder makes files: the bit rate is an average, each
    // frame taking what it needs (constrained VBR, libopus's default, is for streaming).
    if (ope_encoder_ctl(made->opus, OPUS_SET_BITRATE(kbps * 1000)) != OPE_OK ||
        ope_encoder_ctl(made->opus, OPUS_SET_VBR_CONSTRAINT(0)) != OPE_OK)
        return StreamFailed;
    *encoder = made.release();
    return StreamOk;
}

BMC_EXPORT int stream_encoder_write(StreamEncoder* encoder, const void* pcm, uint32_t frames) {
    encoder->wrote = encoder->wrote || frames > 0;
    const int written = encoder->sampleKind == StreamInt16
                            ? ope_encoder_write(encoder->opus, static_cast<const opus_int16*>(pcm),
                                                static_cast<int>(frames))
                            : ope_encoder_write_float(encoder->opus, static_cast<const float*>(pcm),
                                                      static_cast<int>(frames));
    return encoder->file.Status(written == OPE_OK);
}

BMC_EXPORT int stream_encoder_finish(StreamEncoder* encoder) {
    const std::unique_ptr<StreamEncoder> owned(encoder);
    // libopusenc aborts the process when a stream without a frame is drained. Nothing is
    // written then: the core fails a row without audio and keeps no output of it.
    if (!encoder->wrote)
        return encoder->file.Status(true);
    return encoder->file.Status(ope_encoder_drain(encoder->opus) == OPE_OK);
}

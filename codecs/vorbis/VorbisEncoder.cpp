// The Vorbis encoder entry points: float PCM into an Ogg Vorbis stream at a quality of -1 to 10.
// The last page's granule position is the number of frames written, so the stream decodes to
// exactly those.
#include <vorbis/vorbisenc.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <new>

#include "codecs/PcmSamples.h"
#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamEncoder {
    StreamFile file;
    uint16_t channels = 0;
    uint16_t sampleKind = StreamFloat32;
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state ogg{};
    bool infoMade = false;
    bool dspMade = false;
    bool oggMade = false;

    ~StreamEncoder() {
        if (oggMade)
            ogg_stream_clear(&ogg);
        if (dspMade) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        if (infoMade)
            vorbis_info_clear(&info);
    }

    void WritePage(const ogg_page& page) {
        file.Write(page.header, static_cast<std::size_t>(page.header_len));
        file.Write(page.body, static_cast<std::size_t>(page.body_len));
    }

    // Moves what the analysis has ready into pages; flush puts out a page even if not full.
    void Drain(bool flush) {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&ogg, &packet);
                while (ogg_stream_pageout(&ogg, &page))
                    WritePage(page);
            }
        }
        while (flush && ogg_stream_flush(&ogg, &page))
            WritePage(page);
    }

    bool Headers() {
        ogg_packet id, comments, codebooks;
        if (vorbis_analysis_headerout(&dsp, &comment, &id, &comments, &codebooks) != 0)
            return false;
        ogg_stream_packetin(&ogg, &id);
        ogg_stream_packetin(&ogg, &comments);
        ogg_stream_packetin(&ogg, &codebooks);
        // The audio begins on a page of its own, as decoders expect.
        ogg_page page;
        while (ogg_stream_flush(&ogg, &page))
            WritePage(page);
        return !file.failed;
    }
};

namespace {
int SerialNumber() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<int>((now ^ (static_cast<long long>(getpid()) << 16)) & 0x7FFFFFFF);
}
} // namespace

BMC_EXPORT int stream_encoder_open(int fd, const StreamEncoderConfig* config,
                                   StreamEncoder** encoder) {
    *encoder = nullptr;
    if ((config->sampleKind != StreamFloat32 && config->sampleKind != StreamInt16) ||
        config->channels < 1)
        return StreamFailed;
    std::unique_ptr<StreamEncoder> made(new (std::nothrow) StreamEncoder);
    if (!made)
        return StreamFailed;
    made->file.fd = fd;
    made->channels = config->channels;
    made->sampleKind = config->sampleKind;
    vorbis_info_init(&made->info);
    made->infoMade = true;
    vorbis_comment_init(&made->comment);
    const int quality = std::clamp(config->setting, -1, 10);
    if (vorbis_encode_init_vbr(&made->info, config->channels, static_cast<long>(config->sampleRate),
                               static_cast<float>(quality) / 10.0f) != 0 ||
        vorbis_analysis_init(&made->dsp, &made->info) != 0)
        return StreamFailed;
    vorbis_block_init(&made->dsp, &made->block);
    made->dspMade = true;
    if (ogg_stream_init(&made->ogg, SerialNumber()) != 0)
        return StreamFailed;
    made->oggMade = true;
    if (!made->Headers())
        return made->file.Status(false);
    *encoder = made.release();
    return StreamOk;
}

BMC_EXPORT int stream_encoder_write(StreamEncoder* encoder, const void* pcm, uint32_t frames) {
    constexpr uint32_t Step = 4096;
    const uint16_t channels = encoder->channels;
    const auto* floats = static_cast<const float*>(pcm);
    const auto* ints = static_cast<const uint8_t*>(pcm);
    for (uint32_t start = 0; start < frames; start += Step) {
        const uint32_t count = std::min(Step, frames - start);
        float** planes = vorbis_analysis_buffer(&encoder->dsp, static_cast<int>(count));
        const std::size_t first = std::size_t(start) * channels;
        // Sixteen-bit input is scaled on its way into the analysis buffer, as oggenc does: a
        // separate pass to floats would cost a copy of the whole stream.
        if (encoder->sampleKind == StreamInt16) {
            for (uint32_t i = 0; i < count; ++i)
                for (uint16_t c = 0; c < channels; ++c)
                    planes[c][i] =
                        static_cast<float>(ReadInt16(ints + 2 * (first + i * channels + c))) /
                        32768.0f;
        } else {
            for (uint32_t i = 0; i < count; ++i)
                for (uint16_t c = 0; c < channels; ++c)
                    planes[c][i] = floats[first + i * channels + c];
        }
        vorbis_analysis_wrote(&encoder->dsp, static_cast<int>(count));
        encoder->Drain(false);
    }
    return encoder->file.Status(true);
}

BMC_EXPORT int stream_encoder_finish(StreamEncoder* encoder) {
    const std::unique_ptr<StreamEncoder> owned(encoder);
    vorbis_analysis_wrote(&encoder->dsp, 0);
    encoder->Drain(true);
    return encoder->file.Status(true);
}

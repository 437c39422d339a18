#include "codecs/wma/AsfAudioEncoder.h"

#include <algorithm>

namespace {
// What the wmav2 encoder accepts.
constexpr uint32_t MinBitRate = 24000;
constexpr uint32_t MaxSampleRate = 48000;
constexpr uint32_t MaxChannels = 2;
} // namespace

std::unique_ptr<AsfAudioEncoder> AsfAudioEncoder::Open(const std::string& path,
                                                       const WAVEFORMATEX& input,
                                                       const WmaOutputRequest& request,
                                                       int& refusedErrno) {
    refusedErrno = 0;
    std::unique_ptr<AsfAudioEncoder> encoder(new AsfAudioEncoder);
    FfmpegAudioWriter& writer = encoder->writer_;
    if (!writer.OpenOutput("asf") ||
        FfmpegAudioWriter::InputSampleFormat(input) == AV_SAMPLE_FMT_NONE ||
        !encoder->OpenCodec(input, request) || !writer.OpenResampler(input, writer.FrameSize() * 2))
        return nullptr;
    // The decoder's output starts one frame into the encoded stream: a frame of silence first
    // keeps every input sample in the decoded result.
    if (!writer.WriteSilence(writer.FrameSize()))
        return nullptr;
    if (!writer.OpenFile(path, nullptr)) {
        refusedErrno = writer.RefusedWriteErrno();
        return nullptr;
    }
    return encoder;
}

bool AsfAudioEncoder::OpenCodec(const WAVEFORMATEX& input, const WmaOutputRequest& request) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (codec == nullptr)
        return false;
    AVCodecContext* encoder = writer_.NewEncoder(codec);
    if (encoder == nullptr)
        return false;
    const uint32_t rate = request.sampleRate != 0 ? request.sampleRate : input.nSamplesPerSec;
    encoder->sample_rate = static_cast<int>(std::min(rate, MaxSampleRate));
    encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&encoder->ch_layout,
                              static_cast<int>(std::clamp(request.channels, 1u, MaxChannels)));
    encoder->bit_rate = std::max(request.bitRate, MinBitRate);
    encoder->time_base = AVRational{1, encoder->sample_rate};
    return writer_.OpenEncoder();
}

bool AsfAudioEncoder::Write(const uint8_t* data, uint32_t sampleCount) {
    return writer_.Write(data, sampleCount, [this] { return writer_.EncodeFrames(false); });
}

bool AsfAudioEncoder::Finish() {
    return writer_.FlushResampler() && writer_.EncodeFrames(true) && writer_.Finish();
}

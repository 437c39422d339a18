#pragma once
// Decodes the audio of an ASF file into 16-bit interleaved PCM at the file's own sample rate and
// channel count.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codecs/WmaAudioApi.h"
#include "codecs/ffmpeg/FfmpegHandles.h"
#include "codecs/ffmpeg/FfmpegSampleConverter.h"
#include "codecs/wma/AsfHeader.h"

class AsfAudioDecoder {
public:
    // Receives each block of PCM and the position of its first sample in milliseconds.
    using Delivery = std::function<void(const uint8_t* data, uint32_t byteCount, uint64_t timeMs)>;

    // Null when the file is not ASF, holds no audio stream, or its audio cannot be described;
    // failure (optional) then tells WMA_E_UNREADABLE (the file could not be opened or read: not
    // there, not permitted, not a regular file) from E_FAIL (it could not be decoded).
    static std::unique_ptr<AsfAudioDecoder> Open(const std::string& path,
                                                 HRESULT* failure = nullptr);
    AsfAudioDecoder(const AsfAudioDecoder&) = delete;
    AsfAudioDecoder& operator=(const AsfAudioDecoder&) = delete;

    WAVEFORMATEX OutputFormat() const { return outputFormat_; }
    // 0 when the file does not say.
    uint32_t DurationMs() const { return durationMs_; }

    // Decodes to the end or until stop is raised; the result is the status that ends the stream.
    // A file that ends before the packets or the play time its header promises ends with
    // WMA_STATUS_ERROR once everything it holds was delivered.
    WMAudioStatus Run(const Delivery& deliver, const std::atomic<bool>& stop);

private:
    AsfAudioDecoder() = default;
    // Opens the input through FFmpeg; an AVERROR code.
    int OpenInput(const std::string& path);
    bool FindAudio();
    bool EndedEarly() const;
    bool OpenDecoder();
    bool DecodePacket(const AVPacket* packet, const Delivery& deliver);
    bool DeliverFrame(const AVFrame* frame, const Delivery& deliver);
    bool PrepareResampler(const AVFrame* frame);
    // Delivers what the resampler gave, a count of sample frames or a failure.
    bool DeliverConverted(int converted, const Delivery& deliver);

    InputContextPtr input_;
    CodecContextPtr decoder_;
    FfmpegSampleConverter resampler_;
    int streamIndex_ = -1;
    bool protected_ = false;
    uint64_t fileBytes_ = 0;
    AsfHeader header_;
    WAVEFORMATEX outputFormat_{};
    uint32_t durationMs_ = 0;
    uint64_t samplesDelivered_ = 0;
    uint64_t framesDecoded_ = 0;
};

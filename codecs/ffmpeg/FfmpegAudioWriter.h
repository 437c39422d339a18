#pragma once
// What writing interleaved PCM through an FFmpeg encoder into a file takes whatever the codec:
// the muxer, the encoder, a resampler into the encoder's format and channels, a FIFO of converted
// samples that the encoder takes in frames, and the packets on into the file. The codec's own
// class configures the encoder and decides when frames are encoded.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codecs/ffmpeg/FfmpegHandles.h"
#include "engine/WaveFormat.h"

class FfmpegAudioWriter {
public:
    // The sample format the resampler reads the input as; AV_SAMPLE_FMT_NONE when it cannot.
    static AVSampleFormat InputSampleFormat(const WAVEFORMATEX& format);
    // The layout codec is given that many channels in: the one it lists for the count where it
    // lists its own (ALAC takes no other), else FFmpeg's default. Both keep the speakers in
    // WAVE order, so a channel of the input is the speaker of its place in the layout.
    static bool CodecLayout(const AVCodec& codec, int channels, AVChannelLayout& layout);

    // The muxer, by FFmpeg's name for it ("ipod", "asf").
    bool OpenOutput(const char* muxer);
    // A context for codec that the caller fills in before OpenEncoder; null when out of memory.
    AVCodecContext* NewEncoder(const AVCodec* codec);
    bool OpenEncoder();
    // Converts from input to the encoder's format, rate and channels into a FIFO that starts
    // with room for fifoFrames.
    bool OpenResampler(const WAVEFORMATEX& input, int fifoFrames);
    // Creates the file: only once everything that can refuse the formats has accepted them.
    bool OpenFile(const std::string& path, AVDictionary** muxerOptions);

    // Converts whole sample frames of the input format into the FIFO, a slice at a time, and
    // calls drain after each slice to take what the FIFO holds on.
    bool Write(const uint8_t* data, uint32_t frameCount, const std::function<bool()>& drain);
    // Passes on what the resampler still holds.
    bool FlushResampler();
    bool WriteSilence(int frameCount);
    // Encodes the FIFO's whole frames; at the end also what is left, padded to a whole frame
    // with silence unless the encoder takes a short last frame.
    bool EncodeFrames(bool end);
    // Drains the encoder and completes the file.
    bool Finish();

    // The errno of the write the file refused, once one was (a full disk); 0 while none was.
    int RefusedWriteErrno() const;

    AVCodecContext& Encoder() const { return *encoder_; }
    AVAudioFifo* Fifo() const { return fifo_.get(); }
    int FrameSize() const { return frameSize_; }
    int Channels() const { return encoder_->ch_layout.nb_channels; }
    int BytesPerSample() const { return av_get_bytes_per_sample(encoder_->sample_fmt); }
    int64_t PacketsWritten() const { return packets_; }
    // The timestamp of the next frame encoded.
    void SetNextPts(int64_t pts) { nextPts_ = pts; }
    // Gives every packet this duration in encoder samples instead of the encoder's own.
    void SetPacketDuration(int frames) { packetDuration_ = frames; }

private:
    bool Convert(const uint8_t** input, int frameCount);
    // Whole sample frames of the input as the resampler reads them.
    const uint8_t* Prepare(const uint8_t* data, uint32_t frameCount);
    const uint8_t* Unpack24(const uint8_t* data, uint32_t frameCount);
    template <typename Sample> const uint8_t* Clip(const uint8_t* data, uint32_t frameCount);
    bool EncodeFrame(int frameCount);
    // Sends a frame (null at the end) and writes every packet the encoder has ready.
    bool Drain(const AVFrame* frame);
    // Keeps the first failure of the file's writes that FFmpeg reported.
    void NoteFileError(int averror);

    OutputContextPtr output_;
    CodecContextPtr encoder_;
    SwrPtr resampler_;
    AudioFifoPtr fifo_;
    FramePtr frame_;
    PacketPtr packet_;
    WAVEFORMATEX input_{};
    int frameSize_ = 0;
    bool smallLastFrame_ = false;
    int64_t nextPts_ = 0;
    int64_t packets_ = 0;
    int packetDuration_ = 0;
    int refusedErrno_ = 0;
    std::vector<uint8_t*> planes_;
    std::vector<uint8_t> converted_;
    std::vector<int32_t> unpacked_;
    std::vector<uint8_t> clipped_;
};

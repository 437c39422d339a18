#pragma once
// Encodes interleaved PCM into AAC or ALAC and writes it into an MP4 file.
//
// AAC comes out of the encoder in whole frames after a frame of priming, and the demuxers of the
// platform skip the priming the edit list records but not the padding of the last frame. So the
// AAC samples are kept aside until their count is known, and the priming is then lengthened by
// as many silent samples as make priming + length a whole number of frames: the file then decodes
// to exactly the input's length, and the edit list records both.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codecs/Mp4AudioApi.h"
#include "codecs/ffmpeg/FfmpegAudioWriter.h"
#include "codecs/mp4/SampleSpool.h"

class Mp4AudioEncoder {
public:
    // Creates the file at path once the formats are known to encode. Null when they cannot be
    // encoded (no file is created then) or the file cannot be created; refusedErrno is then the
    // errno of the write the file refused (a full disk), or 0.
    static std::unique_ptr<Mp4AudioEncoder> Open(const std::string& path, const WAVEFORMATEX& input,
                                                 const Mp4WriterRequest& request,
                                                 int& refusedErrno);
    Mp4AudioEncoder(const Mp4AudioEncoder&) = delete;
    Mp4AudioEncoder& operator=(const Mp4AudioEncoder&) = delete;

    // Whole sample frames in the input format.
    bool Write(const uint8_t* data, uint32_t frameCount);
    // Encodes what is held back and completes the file.
    bool Finish();
    // After Finish, for AAC: where the audio lies in the decoded frames.
    std::optional<Mp4Gapless> Gapless() const;
    // After a failed Write or Finish: the errno of the write the file refused, or 0.
    int RefusedWriteErrno() const { return writer_.RefusedWriteErrno(); }

private:
    Mp4AudioEncoder() = default;
    bool OpenCodec(const Mp4WriterRequest& request);
    bool OpenStream(const std::string& path);
    // Moves what the resampler gave on: into the spool (AAC) or the encoder (ALAC).
    bool Pass(bool end);
    bool SpoolBlocks(bool end);
    bool ReplaySpool();
    // The planes of block_, one spool block each.
    void PlanBlock();

    FfmpegAudioWriter writer_;
    std::unique_ptr<SampleSpool> spool_;
    WAVEFORMATEX input_{};
    int priming_ = 0;
    std::vector<uint8_t*> planes_;
    std::vector<uint8_t> block_;
};

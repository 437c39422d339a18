#pragma once
// The sink for MP3 output: takes 16-bit PCM at the configured MP3 rate and channel count, cuts
// it into the encoder module's chunks and appends the MP3 bytes to the file. At the end it encodes
// the last partial chunk, writes the encoder's final bytes and puts the Info tag (encoder delay,
// padding, length) over the placeholder frame at the start.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/Mp3EncoderApi.h"
#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "sinks/BlockAligner.h"
#include "system/CodecModules.h"
#include "system/UniqueFd.h"

class Mp3Sink : public AudioSink {
public:
    Mp3Sink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok);
    ~Mp3Sink() override;

    // False when a chunk failed to encode (WriteError is raised too) or the sink is unusable.
    bool Write(const void* data, uint32_t byteCount) override;
    bool Taking() const override { return transfer_ && output_ && stream_ && file_.Valid(); }

    // 16-bit PCM at the settings' MP3 rate and channel count (FormatInfo::SinkTakes).
    static std::vector<uint8_t> Takes(const WAVEFORMATEX& input,
                                      const ConversionSettings& settings);

    // The encoder module among the process's codec modules.
    static CodecModule& EncoderModule(CodecModules& codecs);

    struct Encoder {
        beInitStreamFn init = nullptr;
        beEncodeChunkFn encode = nullptr;
        beDeinitStreamFn deinit = nullptr;
        beCloseStreamFn close = nullptr;
        beInfoTagFrameFn infoTag = nullptr; // optional
    };
    // The entry points of a loaded encoder module.
    static Encoder ResolveEncoder(CodecModule& module);

private:
    bool Open(const WAVEFORMATEX* inputFormat, const RowContext& row);
    bool EncodeChunk(const uint8_t* chunk, uint32_t length);
    void FinishStream();
    void WriteInfoTag();
    void Append(const uint8_t* bytes, uint32_t count);

    RowResult& result_;
    const bool stereo_;
    UniqueFd file_;
    Encoder encoder_;
    Mp3EncoderHandle stream_ = nullptr;
    uint32_t samplesPerChunk_ = 0;
    uint32_t outputSize_ = 0;
    std::unique_ptr<uint8_t[]> output_;
    std::unique_ptr<BlockAligner> transfer_;
    uint64_t written_ = 0;
};

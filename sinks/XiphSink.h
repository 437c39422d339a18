#pragma once
// The sink for the stream-encoded formats (FLAC, Opus, Vorbis): hands the PCM the format's
// encoder takes (StreamTarget) to it in whole frames; the module writes the file through the
// descriptor and finishes it when the sink goes.
#include <cstdint>
#include <memory>

#include "codecs/StreamCodecApi.h"
#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "sinks/SinkFactories.h"
#include "system/CodecModules.h"
#include "system/UniqueFd.h"

class XiphSink : public AudioSink {
public:
    XiphSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok);
    ~XiphSink() override;

    // False when the PCM could not be encoded (WriteError is raised too).
    bool Write(const void* data, uint32_t byteCount) override;
    bool Taking() const override { return stream_ != nullptr; }

    // The PCM of the format's StreamTarget for this input.
    static PcmRecord Takes(const WAVEFORMATEX& input, const ConversionSettings& settings);

    struct Encoder {
        stream_encoder_open_fn open = nullptr;
        stream_encoder_write_fn write = nullptr;
        stream_encoder_finish_fn finish = nullptr;
    };

private:
    bool Open(const WAVEFORMATEX* inputFormat, const RowContext& row);

    RowResult& result_;
    UniqueFd file_;
    Encoder encoder_;
    StreamEncoder* stream_ = nullptr; // finished in the destructor, before the file closes
    uint32_t frameBytes_ = 0;
};

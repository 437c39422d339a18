#pragma once
// The sink for Windows Media Audio files: hands the source's PCM unchanged to the WMA module's
// writer, which encodes it at the quality in the settings.
#include <memory>

#include "codecs/WmaAudioApi.h"
#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "sinks/SinkFactories.h"

class WmaSink : public AudioSink {
public:
    // ok is false when the module is missing, the writer cannot create the file or refuses the
    // input or output format.
    WmaSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok);
    // Flushes and releases the writer, which completes the file.
    ~WmaSink() override;

    bool Write(const void* data, uint32_t byteCount) override;

    // The source's PCM as it is: the module converts it itself.
    static PcmRecord Takes(const WAVEFORMATEX& input, const ConversionSettings& settings);

private:
    struct ReleaseWriter {
        void operator()(IWMAudioWriter* writer) const { writer->Release(); }
    };

    RowResult& result_;
    std::unique_ptr<IWMAudioWriter, ReleaseWriter> writer_;
};

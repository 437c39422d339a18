#pragma once
// The sink for AAC and ALAC in MP4 (.m4a): hands the source's PCM unchanged to the MP4 module's
// writer, which converts it to the channels and rate in the settings and encodes it with the
// target format's codec. An AAC file gets its gapless record ("iTunSMPB") once finished.
#include <memory>
#include <string>

#include "codecs/Mp4AudioApi.h"
#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "sinks/SinkFactories.h"
#include "system/CodecModules.h"

class Mp4Sink : public AudioSink {
public:
    // ok is false when the module is missing, the writer cannot create the file or refuses the
    // formats.
    Mp4Sink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok);
    // Finishes the file; a failure there loses the whole output and is reported.
    ~Mp4Sink() override;

    bool Write(const void* data, uint32_t byteCount) override;

    // The source's PCM as it is: the module converts it itself.
    static PcmRecord Takes(const WAVEFORMATEX& input, const ConversionSettings& settings);

    // The module's writer half among the process's codec modules.
    static CodecModule& WriterModule(CodecModules& codecs);
    // What the writer is asked for: the codec of the target format, and its settings.
    static Mp4WriterRequest RequestFor(const ConversionSettings& settings);

private:
    void WriteGapless();

    struct CloseWriter {
        Mp4WriterCloseFn close;
        void operator()(Mp4Writer* writer) const { close(writer); }
    };

    RowResult& result_;
    Mp4WriterWriteFn write_ = nullptr;
    Mp4WriterFinishFn finish_ = nullptr;
    Mp4WriterGaplessFn gapless_ = nullptr; // optional
    std::string path_;
    std::unique_ptr<Mp4Writer, CloseWriter> writer_;
};

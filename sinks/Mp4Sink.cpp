#include "sinks/Mp4Sink.h"

#include <fcntl.h>

#include "system/CodecModuleFiles.h"
#include "system/UniqueFd.h"
#include "tags/ItunesGapless.h"

namespace {
uint32_t Positive(int32_t value) {
    return value > 0 ? static_cast<uint32_t>(value) : 0;
}
} // namespace

CodecModule& Mp4Sink::WriterModule(CodecModules& codecs) {
    return codecs.Module(Mp4ModuleFile, Mp4WriterEntryPoints);
}

Mp4WriterRequest Mp4Sink::RequestFor(const ConversionSettings& settings) {
    const bool alac = settings.TargetFormat == tfAlac;
    return Mp4WriterRequest{alac ? Mp4CodecAlac : Mp4CodecAac,
                            alac ? 0 : Positive(settings.AacBitRate) * 1000,
                            Positive(settings.OutputSampleRate), Positive(settings.OutputChannels)};
}

PcmRecord Mp4Sink::Takes(const WAVEFORMATEX& input, const ConversionSettings&) {
    return RecordOf(input);
}

Mp4Sink::Mp4Sink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = false;
    CodecModule& module = WriterModule(row.Environment.Codecs);
    if (inputFormat == nullptr || !module.Load())
        return;
    const auto open = module.Get<Mp4WriterOpenFn>("Mp4WriterOpen");
    write_ = module.Get<Mp4WriterWriteFn>("Mp4WriterWrite");
    finish_ = module.Get<Mp4WriterFinishFn>("Mp4WriterFinish");
    gapless_ = module.Get<Mp4WriterGaplessFn>(Mp4WriterGaplessEntryPoint);
    path_ = row.OutputPath;
    const Mp4WriterRequest request = RequestFor(row.Settings);
    Mp4Writer* writer = nullptr;
    if (open(row.OutputPath.c_str(), inputFormat, &request, &writer) != Mp4Ok || !writer)
        return;
    writer_ = std::unique_ptr<Mp4Writer, CloseWriter>(
        writer, CloseWriter{module.Get<Mp4WriterCloseFn>("Mp4WriterClose")});
    ok = true;
}

Mp4Sink::~Mp4Sink() {
    if (!writer_)
        return;
    if (finish_(writer_.get()) != Mp4Ok) {
        result_.WriteError = true;
        return;
    }
    WriteGapless();
}

// Best effort: FFmpeg goes by the edit list, the record only helps other players.
void Mp4Sink::WriteGapless() {
    Mp4Gapless gapless{};
    if (!gapless_ || gapless_(writer_.get(), &gapless) != Mp4Ok)
        return;
    const UniqueFd file(::open(path_.c_str(), O_RDWR | O_CLOEXEC));
    if (file.Valid())
        WriteItunesGapless(file.Get(), gapless.priming, gapless.padding, gapless.length);
}

bool Mp4Sink::Write(const void* data, uint32_t byteCount) {
    if (!writer_)
        return false;
    if (write_(writer_.get(), data, byteCount) == Mp4Ok)
        return true;
    result_.WriteError = true;
    return false;
}

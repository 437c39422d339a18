#include "formats/mp4/Mp4Sink.h"

#include <fcntl.h>

#include "catalog/OutputShapeOptions.h"
#include "formats/mp4/AacOptions.h"
#include "formats/mp4/ItunesGapless.h"
#include "formats/mp4/Mp4Module.h"
#include "system/UniqueFd.h"

namespace {
uint32_t Positive(int32_t value) {
    return value > 0 ? static_cast<uint32_t>(value) : 0;
}

// Whether the ALAC encoder is given other samples than the input's: in another sample size, or
// converted to the channels or rate the settings ask for. Its file then cannot decode to them.
bool AlacReshapes(const WAVEFORMATEX& input, const Mp4WriterRequest& request) {
    return input.wFormatTag != WAVE_FORMAT_PCM ||
           input.wBitsPerSample != Mp4AlacSampleBits(input) ||
           (request.channels != 0 && request.channels != input.nChannels) ||
           (request.sampleRate != 0 && request.sampleRate != input.nSamplesPerSec);
}
} // namespace

CodecModule& Mp4Sink::WriterModule(CodecModules& codecs) {
    return codecs.Module(Mp4ModuleFile, Mp4WriterEntryPoints);
}

Mp4WriterRequest Mp4Sink::RequestFor(Mp4Codec codec, const ConversionSettings& settings) {
    const bool alac = codec == Mp4CodecAlac;
    const OptionValues& options = settings.Options;
    return Mp4WriterRequest{codec, alac ? 0 : Positive(options.Of(AacBitRateOption)) * 1000,
                            Positive(options.Of(OutputSampleRateOption)),
                            Positive(options.Of(OutputChannelsOption))};
}

Mp4Sink::Mp4Sink(Mp4Codec codec, const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok)
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
    const Mp4WriterRequest request = RequestFor(codec, row.Settings);
    Mp4Writer* writer = nullptr;
    if (const int status = open(row.OutputPath.c_str(), inputFormat, &request, &writer);
        status != Mp4Ok || !writer) {
        // The file's start could not be written: a failure of the output, not of its format.
        if (const int error = Mp4RefusedErrno(status); error != 0)
            result_.RefusedWrite(error);
        return;
    }
    writer_ = std::unique_ptr<Mp4Writer, CloseWriter>(
        writer, CloseWriter{module.Get<Mp4WriterCloseFn>("Mp4WriterClose")});
    // AAC's samples are never kept, whatever it is given.
    result_.Reshaped = codec == Mp4CodecAlac && AlacReshapes(*inputFormat, request);
    ok = true;
}

Mp4Sink::~Mp4Sink() {
    if (!writer_)
        return;
    if (const int status = finish_(writer_.get()); status != Mp4Ok) {
        result_.RefusedWrite(Mp4RefusedErrno(status));
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
    const int status = write_(writer_.get(), data, byteCount);
    if (status == Mp4Ok)
        return true;
    result_.RefusedWrite(Mp4RefusedErrno(status));
    return false;
}

#include "sinks/OutputSink.h"

#include "catalog/FormatTable.h"

OutputSink::OutputSink(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = false;
    const FormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    if (format && format->MakeSink) {
        sink_ = format->MakeSink(pcmFormat, row, ok);
    }
}

OutputSink::~OutputSink() {
    if (sink_ && !gotAudio_ && result_.InputError == ConversionError::ceNone) {
        result_.InputError = ConversionError::ceRead;
    }
}

bool OutputSink::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    gotAudio_ = gotAudio_ || byteCount > 0;
    return sink_ && sink_->Write(data, byteCount);
}

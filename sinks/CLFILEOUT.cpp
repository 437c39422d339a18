#include "sinks/CLFILEOUT.h"

#include "formats/FormatTable.h"
#include "sinks/SinkFactories.h"

CLFILEOUT::CLFILEOUT(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = false;
    const FormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    if (const SinkFactory make = format ? FindSinkFactory(format->Key) : nullptr) {
        sink_ = make(pcmFormat, row, ok);
    }
}

CLFILEOUT::~CLFILEOUT() {
    if (sink_ && !gotAudio_ && result_.InputError == ConversionError::ceNone) {
        result_.InputError = ConversionError::ceRead;
    }
}

bool CLFILEOUT::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    gotAudio_ = gotAudio_ || byteCount > 0;
    return sink_ && sink_->Write(data, byteCount);
}

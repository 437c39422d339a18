#include "sinks/CLFILEOUT.h"

#include "engine/TargetFormats.h"
#include "sinks/clFileOutputMp3.h"
#include "sinks/clFileOutputMp4.h"
#include "sinks/clFileOutputWMA.h"
#include "sinks/clFileOutputWave.h"

CLFILEOUT::CLFILEOUT(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = false;
    const TargetFormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    if (!format) {
        return;
    }
    // The sink class of each target format.
    switch (format->Number) {
    case tfWave:
        sink_ = std::make_unique<clFileOutputWave>(pcmFormat, row, ok);
        break;
    case tfMp3:
        sink_ = std::make_unique<clFileOutputMp3>(pcmFormat, row, ok);
        break;
    case tfWMA:
        sink_ = std::make_unique<clFileOutputWMA>(pcmFormat, row, ok);
        break;
    case tfAac:
    case tfAlac:
        sink_ = std::make_unique<clFileOutputMp4>(pcmFormat, row, ok);
        break;
    default:
        break;
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

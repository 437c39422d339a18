#include "sinks/CLFILEOUT.h"

#include "engine/ConversionSettings.h"
#include "engine/TargetFormats.h"
#include "sinks/clFileOutputMp3.h"
#include "sinks/clFileOutputWMA.h"
#include "sinks/clFileOutputWave.h"

CLFILEOUT::CLFILEOUT(const WAVEFORMATEX* pcmFormat, bool& ok) {
    ok = false;
    const char* path = Settings().OutputPath.c_str();
    const TargetFormatInfo* format = FindTargetFormat(Settings().TargetFormat);
    if (!format) {
        return;
    }
    // The sink class of each target format.
    switch (format->Number) {
    case tfWave:
        sink_ = std::make_unique<clFileOutputWave>(path, pcmFormat, ok);
        break;
    case tfMp3:
        sink_ = std::make_unique<clFileOutputMp3>(path, pcmFormat, ok);
        break;
    case tfWMA:
        sink_ = std::make_unique<clFileOutputWMA>(path, pcmFormat, ok);
        break;
    default:
        break;
    }
}

CLFILEOUT::~CLFILEOUT() {
    if (sink_ && !gotAudio_ && Settings().InputError == ConversionError::ceNone) {
        Settings().InputError = ConversionError::ceRead;
    }
}

bool CLFILEOUT::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    gotAudio_ = gotAudio_ || byteCount > 0;
    return sink_ && sink_->Write(data, byteCount);
}

#include "sinks/CLFILEOUT.h"

#include "engine/ConversionSettings.h"
#include "sinks/clFileOutputMp3.h"
#include "sinks/clFileOutputWMA.h"
#include "sinks/clFileOutputWave.h"

CLFILEOUT::CLFILEOUT(const WAVEFORMATEX* pcmFormat, bool& ok) {
    ok = false;
    const char* path = Settings().OutputPath.c_str();
    // Each target format's sink is created here once it exists.
    switch (Settings().TargetFormat) {
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

bool CLFILEOUT::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    return sink_ && sink_->Write(data, byteCount);
}

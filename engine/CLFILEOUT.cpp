#include "engine/CLFILEOUT.h"

#include "engine/ConversionSettings.h"

CLFILEOUT::CLFILEOUT(const WAVEFORMATEX* pcmFormat, bool& ok) {
    ok = false;
    const char* path = Settings().OutputPath.c_str();
    (void)pcmFormat;
    (void)path;
    // Each target format's sink is created here once it exists.
    switch (Settings().TargetFormat) {
    default:
        break;
    }
}

bool CLFILEOUT::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    return sink_ && sink_->Write(data, byteCount);
}

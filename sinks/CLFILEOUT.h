#pragma once
// The sink holder: creates and owns the sink chosen by the job's target format.
#include <cstdint>
#include <memory>

#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "engine/clFileOutputBase.h"

class CLFILEOUT {
public:
    // ok becomes true only when a sink for the row's target format was set up at its output path.
    CLFILEOUT(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok);
    // A sink that was set up but never given a sample frame makes the input fail to read: an
    // input that decodes to nothing must not become an empty output.
    ~CLFILEOUT();
    CLFILEOUT(const CLFILEOUT&) = delete;
    CLFILEOUT& operator=(const CLFILEOUT&) = delete;

    // lastBlock is accepted for the sources' sake and not forwarded.
    bool Write(const void* data, uint32_t byteCount, bool lastBlock = false);

private:
    RowResult& result_;
    std::unique_ptr<clFileOutputBase> sink_;
    bool gotAudio_ = false;
};

#pragma once
// The sink holder: creates and owns the sink chosen by the job's target format.
#include <cstdint>
#include <memory>

#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"

class OutputSink {
public:
    // ok becomes true only when a sink for the row's target format was set up at its output path.
    OutputSink(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok);
    // A sink that was set up but never given a sample frame makes the input fail to read: an
    // input that decodes to nothing must not become an empty output.
    ~OutputSink();
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    // lastBlock is accepted for the sources' sake and not forwarded.
    bool Write(const void* data, uint32_t byteCount, bool lastBlock = false);

private:
    RowResult& result_;
    std::unique_ptr<AudioSink> sink_;
    bool gotAudio_ = false;
};

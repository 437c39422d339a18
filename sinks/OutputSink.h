#pragma once
// The sink holder: the one way from a source to its output. It creates and owns the sink chosen
// by the job's target format, converts every block of the source's PCM into what that format's
// sink takes (FormatInfo::SinkTakes), hands it on, and at the end flushes the conversion into the
// sink before the sink finishes its file. A row with an observer also has every block shown to
// it, as the source delivered it (AudioTap); a row that only observes has the tap alone. A row
// of a part of its input keeps only that part.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "sinks/AudioTap.h"
#include "sinks/PcmFormatConverter.h"

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
    // False when no conversion leads from the source's PCM to what the sink takes.
    bool Convert(const WAVEFORMATEX& pcmFormat, const std::vector<uint8_t>& takes);
    bool Pass(const void* data, uint32_t byteCount);
    // The end of the audio: what the conversion holds goes into the sink, which then finishes.
    void Finish();
    void AudioLost();

    RowResult& result_;
    std::unique_ptr<AudioTap> tap_;
    // Null for a sink that takes the source's PCM as it is.
    std::unique_ptr<PcmFormatConverter> converter_;
    std::unique_ptr<AudioSink> sink_;
    PartWindow* window_;
    uint32_t frameBytes_ = 0;
    uint32_t rate_ = 0;
    bool gotAudio_ = false;
};

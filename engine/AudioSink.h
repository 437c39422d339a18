#pragma once
// A sink: writes one output file. Concrete sinks take
// (const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok) and write row.OutputPath; the
// destructor finalises the file. Any failed or short write raises row.Result.WriteError.
#include <cstdint>
#include <memory>

class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual bool Write(const void* data, uint32_t byteCount) {
        (void)data;
        (void)byteCount;
        return false;
    }

protected:
    AudioSink() = default;
    AudioSink(const AudioSink&) = delete;
    AudioSink& operator=(const AudioSink&) = delete;
};

struct RowContext;
struct WAVEFORMATEX;

// A format's sink maker (FormatInfo::MakeSink) for a Sink made from what it takes.
template <class Sink>
std::unique_ptr<AudioSink> MakeSinkOf(const WAVEFORMATEX* pcmFormat, const RowContext& row,
                                      bool& ok) {
    return std::make_unique<Sink>(pcmFormat, row, ok);
}

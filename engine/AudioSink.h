#pragma once
// A sink: writes one output file from PCM in the format its encoder takes. The sink holder makes
// it, converts the source's PCM into that format and hands it over, so that every block reaches
// every sink the same way. Concrete sinks take
// (const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok), where inputFormat is the
// source's PCM, and write row.OutputPath; the destructor finalises the file. Any failed or short
// write raises row.Result.WriteError.
#include <cstdint>
#include <memory>

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Appends converted PCM: whole sample frames, or whole blocks of a coded format.
    virtual bool Write(const void* data, uint32_t byteCount) {
        (void)data;
        (void)byteCount;
        return false;
    }
    // False once the sink takes no more audio (it was never set up, or stopped): nothing more
    // is converted for it, and nothing is flushed into it at the end.
    virtual bool Taking() const { return true; }
    // The conversion into the sink's format lost audio, and WriteError is raised: a sink that
    // keeps nothing after a loss stops here.
    virtual void AudioLost() {}
    // Every block has been written; framesConverted: the sample frames that reached the
    // conversion's last stage (for a coded format, the frames it encoded).
    virtual void Ended(uint64_t framesConverted) { (void)framesConverted; }

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

#pragma once
// A source: reads one input file and pushes its PCM, block by block, into the sink it owns.
// Concrete sources take (const char* inputPath, const RowContext& row, ConversionError& code),
// make their sink for the row and come back in every case; the caller destroys them, which
// finalises the output. Failures found while converting go into row.Result.
#include <cstdint>
#include <memory>

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Converts the next block; false once the input is exhausted, unreadable or the source
    // unusable.
    virtual bool Pump() { return false; }
    // progress[0] = total of the current file, progress[1] = done, in the source's own unit.
    virtual void GetProgress(int32_t progress[2]) { (void)progress; }

protected:
    AudioSource() = default;
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;
};

struct RowContext;
enum class ConversionError : uint8_t;

// A format's source maker (FormatInfo::MakeSource) for a Source made from what it takes.
template <class Source>
std::unique_ptr<AudioSource> MakeSourceOf(const char* inputPath, const RowContext& row,
                                          ConversionError& code) {
    return std::make_unique<Source>(inputPath, row, code);
}

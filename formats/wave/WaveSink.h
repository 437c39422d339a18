#pragma once
// The sink for RIFF WAVE output: appends PCM in the settings' WaveOutputFormat to the data chunk;
// the header is written on creation and completed on destruction.
// A compressed output also carries a "fact" chunk with its length in sample frames, as RIFF
// WAVE requires of every format but PCM; a PCM output has none.
#include <cstdint>
#include <vector>

#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "system/UniqueFd.h"

class WaveSink : public AudioSink {
public:
    // Writes row.OutputPath; failures to write raise row.Result.WriteError.
    WaveSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok);
    // maxDataBytes caps the data chunk below what the RIFF size field can describe.
    WaveSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok,
             uint32_t maxDataBytes);
    ~WaveSink() override;

    // True when the bytes, in the output format, were appended in full.
    bool Write(const void* data, uint32_t byteCount) override;
    bool Taking() const override { return file_.Valid() && !stopped_; }
    // Nothing more is appended: the file keeps what it had.
    void AudioLost() override { Fail(); }
    void Ended(uint64_t framesConverted) override { encodedFrames_ = framesConverted; }

    // The settings' WaveOutputFormat (FormatInfo::SinkTakes).
    static std::vector<uint8_t> Takes(const WAVEFORMATEX& input,
                                      const ConversionSettings& settings);

    // The largest data chunk a file in a format with `extraBytes` extra format bytes (and a fact
    // chunk, or none) can hold.
    static uint32_t MaxDataBytes(uint16_t extraBytes, bool factChunk = false);

private:
    const WAVEFORMATEX& Target() const {
        return *reinterpret_cast<const WAVEFORMATEX*>(target_.data());
    }
    uint32_t ExtraBytes() const { return Target().cbSize; }
    bool HasFact() const { return Target().wFormatTag != WAVE_FORMAT_PCM; }
    uint32_t FactBytes() const { return HasFact() ? 12u : 0u; }
    uint64_t DataStart() const { return 46u + ExtraBytes() + FactBytes(); }
    // Sample frames in the data chunk, for the fact chunk.
    uint32_t Frames() const;
    bool Append(const uint8_t* bytes, uint32_t count);
    // Writes the pending bytes; false (and the file cut back to what was whole) when it cannot.
    bool WritePending();
    // Writes the size bytes that end the data counted so far; false when the file refused them.
    bool WriteLast(const uint8_t* bytes, std::size_t size);
    void WriteHeader();
    void WriteAt(const void* bytes, std::size_t count, uint64_t offset);
    // error: the errno of the write the file refused; 0 for a failure of another kind.
    void Fail(int error = 0);

    RowResult& result_;
    UniqueFd file_;
    // The data chunk's size, the pending bytes included.
    uint32_t dataBytes_ = 0;
    // The end of the data, gathered into large writes: a system call per block of a few
    // kilobytes costs more than decoding the block.
    std::vector<uint8_t> pending_;
    // Frames the conversion had encoded at the end; the fact chunk's value.
    uint64_t encodedFrames_ = 0;
    // The output format, copied from the settings: the record followed by its extra bytes.
    std::vector<uint8_t> target_;
    uint32_t maxDataBytes_ = 0;
    // Set once a write failed or the size limit was reached: nothing more is appended.
    bool stopped_ = false;
};

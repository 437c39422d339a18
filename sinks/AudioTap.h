#pragma once
// Hands a row's decoded PCM to the row's observer as interleaved 32-bit floats at the input's
// channel count and rate, converted on the way by the PCM format converter (a float input
// passes as it is). Made only for a row that has an observer: no other row converts anything.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/AudioObserver.h"
#include "engine/WaveFormat.h"
#include "sinks/PcmFormatConverter.h"

class AudioTap {
public:
    AudioTap(const WAVEFORMATEX& input, AudioObserver& observer);
    AudioTap(const AudioTap&) = delete;
    AudioTap& operator=(const AudioTap&) = delete;

    // The next block of the source's PCM.
    void Take(const void* data, uint32_t byteCount);
    // After the last block: what the conversion still holds, then the observer's end, unless
    // audio was lost on the way (then the observer puts no values).
    void End(RowValues& values);

private:
    void Hand(const uint8_t* bytes, uint32_t count);

    AudioObserver& observer_;
    const WAVEFORMATEX floats_;
    // Null once the conversion failed (or could not be set up): the observer is done with.
    std::unique_ptr<PcmFormatConverter> converter_;
    // The start of a sample frame whose rest comes with the next bytes.
    std::vector<uint8_t> partial_;
};

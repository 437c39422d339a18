#pragma once
// Sees a row's decoded audio on its way to the encoder, for measurements such as loudness. The
// samples are the decoded input's own: its channel count and sample rate, before any conversion
// the target format asks for; always interleaved 32-bit floats, full scale at +-1.0, whatever
// the input's sample format. Called on the thread that writes the output (a reader's thread for
// some inputs), never two calls at once.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "catalog/ConversionSettings.h"
#include "engine/RowValues.h"

struct AudioBlock {
    const float* Samples; // Frames * Channels values, frame after frame
    uint32_t Frames;
    uint16_t Channels;
    uint32_t SampleRate;
};

class AudioObserver {
public:
    virtual ~AudioObserver() = default;
    // The next block of the input, in order; every block has the same channels and rate.
    virtual void Block(const AudioBlock& block) = 0;
    // After the last block, once every block was seen: the observer puts what it measured into
    // values. Not called when part of the audio could not be handed over (the conversion to
    // floats failed), so that no value ever stands for part of a file. A cancelled or failed
    // row may still end here with what it read.
    virtual void End(RowValues& values) = 0;

protected:
    AudioObserver() = default;
    AudioObserver(const AudioObserver&) = delete;
    AudioObserver& operator=(const AudioObserver&) = delete;
};

// Makes the observer of one row of a job with these settings, converting input; null when the row
// needs none, which costs the conversion nothing.
using AudioObserverFactory = std::function<std::unique_ptr<AudioObserver>(
    const ConversionSettings& settings, const std::string& input)>;

// The observers a process can make by name, for a job that names its observers to its worker
// processes; an empty factory for a name it does not know.
using AudioObserverKinds = std::function<AudioObserverFactory(std::string_view name)>;

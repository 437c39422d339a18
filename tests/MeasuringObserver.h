#pragma once
// An observer of a row's audio for the tests: keeps every sample it is shown and puts what it
// saw into the row's values. Shared by the tests and the measuring converter they start as a
// worker process, so that both sides measure alike.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/AudioObserver.h"

class MeasuringObserver final : public AudioObserver {
public:
    void Block(const AudioBlock& block) override {
        ++blocks;
        // A block unlike the first is counted as a change of layout.
        if (blocks == 1) {
            channels = block.Channels;
            rate = block.SampleRate;
        }
        changes += block.Channels != channels || block.SampleRate != rate;
        samples.insert(samples.end(), block.Samples, block.Samples + block.Frames * block.Channels);
    }
    void End(RowValues& values) override {
        ++ended;
        double energy = 0;
        for (const float sample : samples) {
            energy += double{sample} * sample;
        }
        values["frames"] = channels == 0 ? 0.0 : double(samples.size() / channels);
        values["channels"] = channels;
        values["rate"] = rate;
        values["layout changes"] = changes;
        // Not a round number: it must come over from a worker process as the very same double.
        values["energy"] = energy;
    }

    // Observers for a job: one per row.
    static AudioObserverFactory Factory() {
        return [](const ConversionSettings&, const std::string&) {
            return std::make_unique<MeasuringObserver>();
        };
    }

    std::vector<float> samples;
    uint16_t channels = 0;
    uint32_t rate = 0;
    int blocks = 0;
    int changes = 0;
    int ended = 0;
};

#include "loudness/LoudnessObserver.h"

#include <cmath>

#include "engine/AlbumLoudness.h"
#include "engine/LoudnessValues.h"

void LoudnessObserver::Block(const AudioBlock& block) {
    if (failed_) {
        return;
    }
    if (!meter_) {
        meter_ = LoudnessMeter::For(block.Channels, block.SampleRate, forAlbum_);
    }
    failed_ = !meter_ || !meter_->Add(block.Samples, block.Frames);
}

void LoudnessObserver::End(RowValues& values) {
    if (failed_) {
        return; // no value stands for part of a file
    }
    // A file without a single frame is as silent as one of zeros.
    values.insert_or_assign(std::string(LoudnessValue), meter_ ? meter_->Loudness() : -HUGE_VAL);
    values.insert_or_assign(std::string(PeakValue), meter_ ? meter_->Peak() : 0.0);
    if (forAlbum_ && meter_) {
        PutLoudnessBlocks(values, meter_->Blocks());
    }
}

AudioObserverFactory LoudnessObserver::Factory() {
    return [](const ConversionSettings& settings,
              const std::string&) -> std::unique_ptr<AudioObserver> {
        if (settings.ReplayGain == ReplayGainMode::None) {
            return nullptr;
        }
        return std::make_unique<LoudnessObserver>(settings.ReplayGain == ReplayGainMode::Album);
    };
}

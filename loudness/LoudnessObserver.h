#pragma once
// Measures a row's loudness and peak on its decoded audio as it passes to the encoder, for the
// ReplayGain of its output; puts them under the names of engine/LoudnessValues.h.
#include <memory>
#include <optional>

#include "engine/AudioObserver.h"
#include "loudness/LoudnessMeter.h"

class LoudnessObserver final : public AudioObserver {
public:
    // forAlbum: the row's blocks are kept for its album's loudness.
    explicit LoudnessObserver(bool forAlbum) : forAlbum_(forAlbum) {}
    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

    // An observer for each row of a job that asks for ReplayGain; none for the others.
    static AudioObserverFactory Factory();

private:
    // Made with the first block, which tells the layout.
    std::optional<LoudnessMeter> meter_;
    // libebur128 refused the layout or a block: nothing is measured.
    bool failed_ = false;
    bool forAlbum_;
};

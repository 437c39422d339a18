#pragma once
// Several observers watching one row: each sees every block and puts its own values.
#include <memory>
#include <vector>

#include "engine/AudioObserver.h"

class ObserverGroup final : public AudioObserver {
public:
    explicit ObserverGroup(std::vector<std::unique_ptr<AudioObserver>> observers);

    void Block(const AudioBlock& block) override;
    void End(RowValues& values) override;

    // The observers of each of factories for a row, as one: null when none watches the row, and
    // a lone observer as it is.
    static AudioObserverFactory Of(std::vector<AudioObserverFactory> factories);

private:
    std::vector<std::unique_ptr<AudioObserver>> observers_;
};

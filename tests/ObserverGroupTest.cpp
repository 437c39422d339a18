// Several observers of one row: each sees every block and puts its values, and a row that none
// watches gets no observer at all.
#include <gtest/gtest.h>

#include "engine/ObserverGroup.h"

namespace {
// Counts the frames it is shown under its own name.
class CountingObserver final : public AudioObserver {
public:
    explicit CountingObserver(std::string name) : name_(std::move(name)) {}
    void Block(const AudioBlock& block) override { frames_ += block.Frames; }
    void End(RowValues& values) override { values[name_] = frames_; }

private:
    std::string name_;
    double frames_ = 0;
};

AudioObserverFactory Counting(const char* name) {
    return [name](const ConversionSettings&, const std::string&) {
        return std::make_unique<CountingObserver>(name);
    };
}

AudioObserverFactory NoneFor(ReplayGainMode mode) {
    return [mode](const ConversionSettings& settings,
                  const std::string&) -> std::unique_ptr<AudioObserver> {
        return settings.ReplayGain == mode ? nullptr : std::make_unique<CountingObserver>("x");
    };
}
} // namespace

TEST(ObserverGroup, EveryObserverSeesEachBlockAndNoneMeansNoObserver) {
    const ConversionSettings settings;
    EXPECT_EQ(ObserverGroup::Of({})(settings, "in.flac"), nullptr);
    EXPECT_EQ(ObserverGroup::Of({nullptr, NoneFor(settings.ReplayGain)})(settings, "in.flac"),
              nullptr);
    const auto lone =
        ObserverGroup::Of({NoneFor(settings.ReplayGain), Counting("a")})(settings, "in.flac");
    EXPECT_NE(dynamic_cast<CountingObserver*>(lone.get()), nullptr);

    const auto both =
        ObserverGroup::Of({Counting("a"), nullptr, Counting("b")})(settings, "in.flac");
    const float samples[6] = {};
    both->Block({samples, 3, 2, 44100});
    both->Block({samples, 2, 2, 44100});
    RowValues values;
    both->End(values);
    EXPECT_EQ(values, (RowValues{{"a", 5}, {"b", 5}}));
}

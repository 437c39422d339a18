// A row's observer sees the decoded input on its way to the encoder, whatever the target makes of
// it, and what it measures comes back in the row's values; a row without one converts as ever.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "MeasuringObserver.h"
#include "TargetNumbers.h"
#include "WaveTestSupport.h"
#include "engine/OpenAudioSource.h"
#include "sinks/OutputSink.h"

using namespace wavetest;

namespace {

constexpr long Frames = 150000; // more than one of the source's blocks
const WAVEFORMATEX Stereo16 = MakePcmFormat(2, 44100, 16);

std::vector<int16_t> Signal() {
    std::vector<int16_t> samples(Frames * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double phase = double(i / 2) * (i % 2 == 0 ? 0.031 : 0.0173);
        samples[i] = static_cast<int16_t>(std::lround(20000 * std::sin(phase)));
    }
    return samples;
}

class ObservedRow : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string bytes(reinterpret_cast<const char*>(input.data()), input.size() * 2);
        WriteFile(inputPath, PcmWave(Stereo16, bytes));
        // Each target converts the input on its way, to mono.
        row.settings.Options.Set(OptionOf(tfFlac, "--channels"), 1);
        row.settings.Options.Set(OptionOf(tfMp3, "--mono"), 1);
        row.settings.Options.Set(OptionOf(tfMp3, "--rate"), 44100);
    }

    // Converts the input the way the worker does; the output's bytes.
    std::string Convert(uint8_t target, const std::string& name) {
        row.ClearResult();
        row.settings.TargetFormat = target;
        row.output = dir / name;
        ConversionError code = ConversionError::ceNone;
        auto source = OpenAudioSource(inputPath.c_str(), row.Context(), code);
        EXPECT_EQ(code, ConversionError::ceNone);
        while (source && code == ConversionError::ceNone && source->Pump()) {
        }
        source.reset();
        EXPECT_FALSE(row.result.WriteError);
        EXPECT_EQ(row.result.InputError.load(), ConversionError::ceNone);
        return ReadFile(row.output);
    }

    TestFolder dir;
    const std::string inputPath = dir / "in.wav";
    const std::vector<int16_t> input = Signal();
    TestRow row;
};

} // namespace

TEST_F(ObservedRow, SeesTheInputsOwnSamplesAsFloatsAndPutsItsValues) {
    for (const uint8_t target : {uint8_t(tfFlac), uint8_t(tfMp3)}) {
        SCOPED_TRACE(int(target));
        MeasuringObserver seen;
        row.observer = &seen;
        const std::string observed = Convert(target, "observed");
        EXPECT_EQ(seen.ended, 1);
        EXPECT_EQ(seen.channels, 2);
        EXPECT_EQ(seen.rate, 44100u);
        EXPECT_EQ(seen.changes, 0);
        ASSERT_EQ(seen.samples.size(), input.size());
        for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{7},
                                     std::size_t{264601}, input.size() - 1}) {
            EXPECT_FLOAT_EQ(seen.samples[at], input[at] / 32768.0f) << at;
        }
        EXPECT_EQ(row.result.Values.at("frames"), double(Frames));
        EXPECT_EQ(row.result.Values.at("rate"), 44100.0);

        // Observed or not, the output is the same to the byte.
        row.observer = nullptr;
        EXPECT_TRUE(Convert(target, "plain") == observed);
        EXPECT_TRUE(row.result.Values.empty());
        EXPECT_GT(observed.size(), 1000u);
    }
}

// A float input reaches the observer as it is, however the source cuts it.
TEST_F(ObservedRow, AFloatInputPassesUnconvertedInWholeFrames) {
    const WAVEFORMATEX floats = MakeFloatFormat(2, 8000);
    std::vector<float> samples(2000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = float(i) / 4096.0f - 0.25f;
    }
    MeasuringObserver seen;
    row.observer = &seen;
    UseWaveOutput(row, dir / "out.wav", floats);
    {
        bool ok = false;
        OutputSink holder(&floats, row.Context(), ok);
        ASSERT_TRUE(ok);
        const auto* bytes = reinterpret_cast<const char*>(samples.data());
        holder.Write(bytes, 4001); // a frame and a byte beyond, out of step from here on
        holder.Write(bytes + 4001, 3999);
    }
    EXPECT_EQ(seen.samples, samples);
    EXPECT_EQ(seen.ended, 1);
    const std::string file = ReadFile(dir / "out.wav");
    ASSERT_GE(file.size(), 8000u);
    EXPECT_EQ(file.substr(file.size() - 8000),
              std::string(reinterpret_cast<const char*>(samples.data()), 8000));
}

// Presets on the command line: the built-in ones, one saved through the store the window uses,
// names that must round-trip or be refused, and a preset whose format cannot be written.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "choices/PresetBook.h"
#include "system/SettingsStore.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
constexpr const char* Phone = "Phone (Opus 128 kbit/s)";

// Noise, which tells bit rates apart in VBR.
std::string Noise(const std::string& path) {
    Shell("sox -q -n -r 48000 -c 2 -b 16 " + Quote(path) + " synth 4 pinknoise gain -6");
    return path;
}

double KbitPerSecond(const std::string& path) {
    return std::stod(
               Shell("ffprobe -v error -show_entries format=bit_rate -of csv=p=0 " + Quote(path))) /
           1000;
}

// A preset choosing FLAC level 0 into dir/out, flat.
ConverterChoices FlacIntoOut(const TestFolder& dir) {
    ConverterChoices choices = ConverterChoices::Load();
    choices.Target = FindTargetFormat("flac")->Number;
    choices.Options.Set(*FindFormatOption("--compression-level", choices.Target), 0);
    choices.ToThisFolder = true;
    choices.Folder = dir / "out";
    return choices;
}
} // namespace

TEST(CliPresets, BuiltInsListAndSetTheFormatUnderTheOptionsGiven) {
    ConfigHome home;
    TestFolder dir;
    // Stored choices the presets must override.
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "BrConvTo");
    StoreWriteNumber(32, StoreRoot::User, SettingsKey, "BrConvOpusKbps");
    const Outcome list = Convert(dir, {"--list-presets"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, std::string(Phone) + "\nCar (MP3 256 kbit/s)\n");

    const std::string in = Noise(dir / "noise.wav");
    const Outcome phone = Convert(dir, {"--preset", Phone, in});
    ASSERT_EQ(phone.exitCode, 0) << phone.err;
    EXPECT_EQ(Probe(dir / "noise.opus", "codec_name"), "opus");
    // As opusenc makes the same file at the same bit rate.
    const auto reference = [&](int kbps) {
        const std::string made = dir / ("opusenc" + std::to_string(kbps) + ".opus");
        Shell("opusenc --quiet --bitrate " + std::to_string(kbps) + " " + Quote(in) + " " +
              Quote(made));
        return KbitPerSecond(made);
    };
    EXPECT_NEAR(KbitPerSecond(dir / "noise.opus"), reference(128), 3);

    const Outcome lower =
        Convert(dir, {"--preset", Phone, "--bitrate", "64", "-o", dir / "out", in});
    ASSERT_EQ(lower.exitCode, 0) << lower.err;
    EXPECT_NEAR(KbitPerSecond(dir / "out/noise.opus"), reference(64), 3);

    // Names compare without regard to letter case.
    const Outcome car = Convert(dir, {"--preset=car (mp3 256 KBIT/S)", in});
    ASSERT_EQ(car.exitCode, 0) << car.err;
    EXPECT_EQ(ProbeAll(dir / "noise.mp3", "codec_name,bit_rate"),
              "codec_name=mp3\nbit_rate=256000");

    const Outcome unknown = Convert(dir, {"--preset", "Nope", in});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("no preset is called 'Nope'"), std::string::npos) << unknown.err;
}

TEST(CliPresets, ASavedPresetKeepsItsNameAndChoicesAndBadNamesAreRefused) {
    ConfigHome home;
    TestFolder dir;
    const std::string name = "Dad's \"car\" / 100% \\ flat";
    std::string error;
    ASSERT_TRUE(PresetBook::Save(name, FlacIntoOut(dir), error)) << error;
    for (const std::string& bad : {std::string(10000, 'x'), std::string("a\nb"), std::string(""),
                                   std::string("PHONE (opus 128 kbit/s)")}) {
        EXPECT_FALSE(PresetBook::Save(bad, FlacIntoOut(dir), error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(PresetBook::Delete(Phone, error));

    const Outcome list = Convert(dir, {"--list-presets"});
    EXPECT_EQ(list.out, std::string(Phone) + "\nCar (MP3 256 kbit/s)\n" + name + "\n");
    const std::string in = SoxTone(dir / "in/a/tone.wav", 0.5);
    const Outcome used = Convert(dir, {"--preset", name, "-r", dir / "in"});
    ASSERT_EQ(used.exitCode, 0) << used.err;
    // Level 0's blocks of 1,152 frames, straight into the preset's folder.
    EXPECT_EQ(Shell("metaflac --show-max-blocksize " + Quote(dir / "out/tone.flac")), "1152");
}

TEST(CliPresets, APresetWhoseFormatCannotBeWrittenIsRefusedUnlessTheTargetIsGiven) {
    ConfigHome home;
    TestFolder dir;
    fs::create_directory(dir / "lonely");
    const std::string converter = dir / "lonely/brindlex-convert";
    fs::copy_file(ConverterPath(), converter);
    fs::permissions(converter, fs::perms::owner_exec, fs::perm_options::add);
    const std::string in = SoxTone(dir / "tone.wav", 0.3);
    const Outcome refused = Convert(dir, {"--preset", Phone, in}, 0, converter);
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_NE(refused.err.find("the preset '" + std::string(Phone) +
                               "' converts to Opus, which cannot be written:\n"
                               "brindlex-convert: the Opus module libbmc-opus.so is missing"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(dir / "tone.opus"));
    const Outcome wave =
        Convert(dir, {"--preset", Phone, "--to", "wav", "-o", dir / "out", in}, 0, converter);
    EXPECT_EQ(wave.exitCode, 0) << wave.err;
}

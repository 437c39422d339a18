#include <gtest/gtest.h>

#include "TargetNumbers.h"
#include "TestFolder.h"
#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "cli/CliOptions.h"
#include "engine/ConverterChoices.h"
#include "formats/mp3/Mp3Options.h"
#include "jobs/SettingsFields.h"
#include "system/SettingsStore.h"

namespace {
// A value each option takes that no default is: its largest.
OptionValues AllAtMost() {
    OptionValues values;
    for (const FormatOption& option : FormatOptions()) {
        values.Set(option, option.Most);
    }
    return values;
}

uint8_t Target(std::string_view key) {
    return FindTargetFormat(key)->Number;
}
} // namespace

TEST(FormatOptionStore, EachOptionComesBackAsSavedAndABadValueGivesTheDefault) {
    ConfigHome home;
    const FormatOption& quality = *FindFormatOption("--quality", Target("ogg"));
    EXPECT_EQ(ConverterChoices::Load().Options.Of(quality), quality.Default);
    ConverterChoices choices;
    choices.Options = AllAtMost();
    choices.Options.Set(quality, -1); // stored as the bits of a signed number
    choices.Save();
    ConversionSettings applied;
    ConverterChoices::Load().ApplyTo(applied);
    for (const FormatOption& option : FormatOptions()) {
        EXPECT_EQ(applied.Options.Of(option), choices.Options.Of(option)) << option.StoredName;
    }
    for (const FormatOption& option : FormatOptions()) {
        StoreWriteNumber(static_cast<uint32_t>(option.Most + 1), StoreRoot::User, SettingsKey,
                         option.StoredName);
        // A stored flag is set by any number but 0, as earlier versions read it.
        const int32_t expected = option.Stored == StoredAs::Flag ? option.Most : option.Default;
        EXPECT_EQ(ConverterChoices::Load().Options.Of(option), expected) << option.StoredName;
    }
}

TEST(FormatOptionStore, ATargetNumberThatNamesNoFormatGivesTheDefault) {
    ConfigHome home;
    for (const uint32_t stored : {200u, 257u, 0xffffffffu}) {
        StoreWriteNumber(stored, StoreRoot::User, SettingsKey, "BrConvTo");
        EXPECT_EQ(ConverterChoices::Load().Target, DefaultTargetFormat) << stored;
    }
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget()) {
            ConverterChoices choices;
            choices.Target = format.Number;
            choices.Save();
            EXPECT_EQ(ConverterChoices::Load().Target, format.Number) << format.Key;
        }
    }
}

TEST(FormatOptionFields, EachOptionReachesTheWorkerAndAnUnacceptableOneIsRefused) {
    ConversionSettings sent;
    sent.Options = AllAtMost();
    ConversionSettings got;
    ASSERT_TRUE(ApplySettingsFields(SettingsFields(sent), got));
    for (const FormatOption& option : FormatOptions()) {
        EXPECT_EQ(got.Options.Of(option), option.Most) << option.StoredName;
    }
    const std::vector<std::string> fields = SettingsFields(ConversionSettings{});
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::vector<std::string> changed = fields;
        changed[i] = std::to_string(INT32_MAX);
        if (ApplySettingsFields(changed, got)) {
            // Only fields that take any number may carry it: none of the options' fields does.
            for (const FormatOption& option : FormatOptions()) {
                EXPECT_NE(got.Options.Of(option), INT32_MAX) << option.StoredName;
            }
        }
    }
}

TEST(FormatOptionCommandLine, EachTargetAndEachOfItsOptionsIsReachable) {
    for (const FormatInfo& format : Formats()) {
        if (!format.IsTarget()) {
            continue;
        }
        CliOptions options;
        std::string error;
        ASSERT_TRUE(ParseCliOptions({"--to", std::string(format.Key), "in.wav"}, options, error))
            << error;
        EXPECT_EQ(options.target, format.Number);
        for (const FormatOption& option : FormatOptions()) {
            if (!OptionAppliesTo(option, format.Number)) {
                continue;
            }
            SCOPED_TRACE(std::string(format.Key) + " " + std::string(option.Flag));
            const std::string flag(option.Flag);
            // A switch is named alone and sets its largest value; another option takes its
            // least.
            const int32_t value = option.IsSwitch ? option.Most : option.Least;
            ASSERT_TRUE(option.Accepts(value));
            CliOptions given;
            ASSERT_TRUE(ParseCliOptions(
                {option.IsSwitch ? flag : flag + "=" + std::to_string(value), "x.wav"}, given,
                error))
                << error;
            ASSERT_TRUE(CheckOptionsForTarget(given, format.Number, error)) << error;
            ConversionSettings settings;
            settings.TargetFormat = format.Number;
            ApplyEncoderOptions(given, settings);
            EXPECT_EQ(settings.Options.Of(option), value);
            if (option.IsSwitch) {
                continue;
            }
            CliOptions tooMuch;
            EXPECT_FALSE(
                ParseCliOptions({flag, std::to_string(option.Most + 1), "x.wav"}, tooMuch, error) &&
                CheckOptionsForTarget(tooMuch, format.Number, error));
        }
    }
}

TEST(FormatOptionCommandLine, MpegListsStayTheirsAndOtherTargetsRefuseThem) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(ParseCliOptions({"--bitrate", "96", "--rate", "32000", "x.wav"}, options, error));
    ASSERT_TRUE(CheckOptionsForTarget(options, Target("mp3"), error)) << error;
    ConversionSettings settings;
    settings.TargetFormat = Target("mp3");
    ApplyEncoderOptions(options, settings);
    EXPECT_EQ(settings.Options.Of(Mp3BitRateOption), 96);
    EXPECT_EQ(settings.Options.Of(Mp3SampleRateOption), 32000);
    EXPECT_FALSE(settings.Options.Chosen(*FindFormatOption("--rate", Target("flac"))));
    for (const uint8_t other : {Target("wav"), Target("wma")}) {
        EXPECT_FALSE(CheckOptionsForTarget(options, other, error));
        EXPECT_NE(error.find("--bitrate"), std::string::npos) << error;
    }
}

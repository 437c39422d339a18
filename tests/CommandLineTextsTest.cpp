// What the command line says of the formats and their options: built from the formats' rows and
// their words, in the texts it has always had.
#include <gtest/gtest.h>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "cli/CliOptions.h"
#include "cli/CliUsage.h"
#include "cli/TargetDescription.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/wma/WmaOptions.h"

namespace {
uint8_t Target(std::string_view key) {
    return FindTargetFormat(key)->Number;
}

// Why the command line refuses args for the target of key; empty when it takes them.
std::string Refusal(std::vector<std::string> args, std::string_view key) {
    args.push_back("x.wav");
    CliOptions options;
    std::string error;
    if (ParseCliOptions(args, options, error) &&
        CheckOptionsForTarget(options, Target(key), error)) {
        return {};
    }
    return error;
}
} // namespace

TEST(CommandLineTexts, EachTargetIsDescribedInItsFormatsWordsOrByItsOptions) {
    ConversionSettings mp3;
    mp3.TargetFormat = Target("mp3");
    mp3.Options.Set(Mp3BitRateOption, 64);
    mp3.Options.Set(Mp3SampleRateOption, 32000);
    mp3.Options.Set(Mp3MonoOption, 1);
    EXPECT_EQ(DescribeTarget(mp3), "MP3 64 kbit/s 32000 Hz mono");
    ConversionSettings wma;
    wma.TargetFormat = Target("wma");
    wma.Options.Set(WmaQualityOption, 6);
    EXPECT_EQ(DescribeDefault(wma), "wma, 48 kbit/s, 32000 Hz, stereo");

    ConversionSettings wave;
    wave.TargetFormat = Target("wav");
    CliOptions options;
    std::string error;
    ASSERT_TRUE(ParseCliOptions({"--wave-format", "ima-adpcm:1:22050:4", "x.wav"}, options, error));
    ASSERT_TRUE(ApplyTextOptions(options, wave, error)) << error;
    EXPECT_EQ(DescribeTarget(wave), "WAVE IMA ADPCM 4 bit 22050 Hz mono");

    // A channel count left as the input says nothing.
    ConversionSettings flac;
    flac.TargetFormat = Target("flac");
    flac.Options.Set(*FindFormatOption("--rate", flac.TargetFormat), 8000);
    EXPECT_EQ(DescribeDefault(flac), "flac, compression level 5, 8000 Hz");
}

TEST(CommandLineTexts, TheHelpNamesEveryFormatAndEachOptionInTheTablesOrder) {
    ConversionSettings defaults;
    defaults.Options.Set(Mp3MonoOption, 1);
    defaults.Options.Set(WmaQualityOption, 5);
    const std::string help = CliUsage(defaults);
    EXPECT_NE(
        help.find("\nConverts audio files between WAVE, MP3, WMA, FLAC, Opus, Ogg Vorbis, AAC "
                  "and ALAC.\n"),
        std::string::npos);
    EXPECT_NE(help.find("\n      --mono              in mono; default: mono\n"), std::string::npos);
    EXPECT_NE(help.find("\n      --wma-quality 0..7  quality, from 0 = 44100 Hz 160 kbit/s\n"
                        "                          to 7 = 32000 Hz 36 kbit/s; default: 5\n"),
              std::string::npos);
    std::size_t at = help.find("\n      --wave-format TAG:CHANNELS:RATE:BITS\n");
    for (const FormatOption& option : FormatOptions()) {
        ASSERT_NE(at, std::string::npos);
        at = help.find("\n      " + std::string(option.Flag) + " ", at + 1);
        EXPECT_NE(at, std::string::npos) << option.StoredName;
    }
}

TEST(CommandLineTexts, AnOptionIsRefusedNamingWhatTakesItAndWhichValues) {
    EXPECT_EQ(Refusal({"--mono", "--bitrate", "56", "--rate", "32000"}, "mp3"), "");
    EXPECT_EQ(Refusal({"--mono=1"}, "mp3"), "unknown option '--mono=1'");
    EXPECT_EQ(Refusal({"--mono"}, "flac"), "--mono applies only to MP3 output (--to mp3)");
    EXPECT_EQ(Refusal({"--wave-format", "pcm:2:44100:16"}, "mp3"),
              "--wave-format applies only to WAVE output (--to wav)");
    EXPECT_EQ(Refusal({"--bitrate", "128"}, "ogg"),
              "--bitrate applies only to MP3, Opus, AAC output");
    EXPECT_EQ(Refusal({"--rate", "0"}, "mp3"),
              "--rate takes one of 48000, 44100, 32000 (Hz) for MP3 output");
    EXPECT_EQ(Refusal({"--bitrate", "999"}, "mp3"),
              "--bitrate takes one of 56, 64, 96, 128, 160, 192, 256, 320 (kbit/s) for MP3, 32 to "
              "256 for Opus, 64 to 320 for AAC");
    EXPECT_EQ(Refusal({"--wma-quality", "8"}, "wma"),
              "--wma-quality takes a number from 0 to 7 for WMA");
}

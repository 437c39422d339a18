#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "TargetNumbers.h"
#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "system/FileNames.h"

namespace {
std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}
} // namespace

TEST(FormatTable, EveryFormatIsFoundByItsNamesAndHasItsSourceAndSink) {
    for (const FormatInfo& format : Formats()) {
        SCOPED_TRACE(std::string(format.Key));
        EXPECT_TRUE(format.IsTarget() || format.IsInput());
        if (format.IsTarget()) {
            EXPECT_EQ(FindTargetFormat(format.Number), &format);
            EXPECT_EQ(FindTargetFormat(UpperAscii(format.Key)), &format);
            EXPECT_NE(format.MakeSink, nullptr);
            EXPECT_NE(format.Tags, nullptr);
            EXPECT_EQ(format.OutputExtension.front(), '.');
        }
        if (format.IsInput()) {
            EXPECT_NE(format.MakeSource, nullptr);
            EXPECT_FALSE(format.MimeTypes.empty());
        }
        for (const std::string_view ext : format.InputExtensions) {
            EXPECT_EQ(FindInputFormat(UpperAscii(ext)), &format) << ext;
            EXPECT_EQ(FindReadFormat(ext), &format) << ext;
        }
        for (const std::string_view ext : format.AlsoReadExtensions) {
            EXPECT_EQ(FindInputFormat(ext), nullptr) << ext;
            EXPECT_EQ(FindReadFormat(UpperAscii(ext)), &format) << ext;
        }
    }
    EXPECT_EQ(FindTargetFormat(uint8_t{200}), nullptr);
    EXPECT_EQ(FindTargetFormat("wa"), nullptr);
    EXPECT_EQ(FindReadFormat(std::string_view(".wav\0x", 6)), nullptr);
    EXPECT_EQ(FindReadFormat("wav"), nullptr);
}

TEST(FormatTable, NoExtensionIsReadAsTwoFormatsNorAreTwoFormatsCalledAlike) {
    std::map<std::string, std::string_view> readers;
    std::map<std::string, std::string_view> keys;
    std::map<uint8_t, std::string_view> numbers;
    for (const FormatInfo& format : Formats()) {
        // Files of one extension go to one source, which tells kinds apart by content.
        for (const auto& list : {format.InputExtensions, format.AlsoReadExtensions}) {
            for (const std::string_view ext : list) {
                EXPECT_TRUE(readers.emplace(Lower(ext), format.Key).second) << ext;
            }
        }
        EXPECT_TRUE(keys.emplace(Lower(format.Key), format.Key).second) << format.Key;
        if (format.IsTarget()) {
            EXPECT_TRUE(numbers.emplace(format.Number, format.Key).second) << format.Key;
        }
    }
}

TEST(FormatOptions, EachOptionTakesItsDefaultAndIsFoundByItsFlagForEachTarget) {
    std::map<std::string_view, int> storedNames;
    for (const FormatOption& option : FormatOptions()) {
        SCOPED_TRACE(std::string(option.Flag));
        EXPECT_LT(option.Least, option.Most);
        EXPECT_TRUE(option.Accepts(option.Default));
        EXPECT_TRUE(option.Accepts(option.FirstChoice()));
        EXPECT_FALSE(option.Accepts(option.Most + 1));
        // Below the range only "as the input" (0) and a replacing list's "off" (its first).
        EXPECT_FALSE(option.Accepts(option.Least - 1) && option.Least - 1 != 0 &&
                     !(option.Replaces && option.Offered.front().Value == option.Least - 1));
        EXPECT_EQ(option.Accepts(0), option.ZeroKeepsInput || option.Least <= 0);
        EXPECT_TRUE(option.Flag.starts_with("--"));
        EXPECT_TRUE(storedNames.emplace(option.StoredName, 0).second) << option.StoredName;
        ASSERT_FALSE(FormatsTaking(option).empty());
        for (const FormatInfo* target : FormatsTaking(option)) {
            // One meaning per flag for a target, whatever else it means for others.
            EXPECT_EQ(FindFormatOption(option.Flag, target->Number), &option) << target->Key;
        }
    }
    EXPECT_EQ(FindFormatOption("--compression-level", tfMp3), nullptr);
}

// Users' stored choices name their target by number: a format keeps its number for good.
TEST(FormatTable, StoredTargetNumbersKeepNamingTheirFormats) {
    const std::pair<TargetNumber, std::string_view> stored[] = {
        {tfWave, "wav"},  {tfMp3, "mp3"},    {tfWMA, "wma"}, {tfFlac, "flac"},
        {tfOpus, "opus"}, {tfVorbis, "ogg"}, {tfAac, "m4a"}, {tfAlac, "alac"},
    };
    for (const auto& [number, key] : stored) {
        ASSERT_NE(FindTargetFormat(number), nullptr) << key;
        EXPECT_EQ(FindTargetFormat(number)->Key, key);
    }
}

// The built help page lists every format, each once, in the formats' order.
TEST(FormatTable, TheHelpPageListsEveryFormat) {
    std::ifstream in(std::string(BMC_BINARY_DIR) + "/conv-help/help.htm");
    const std::string page{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(page.empty());
    std::size_t last = 0;
    for (const FormatInfo& format : Formats()) {
        const std::string row = "<tr><td>" + std::string(format.SentenceName()) + "</td>";
        const std::size_t at = page.find(row);
        ASSERT_NE(at, std::string::npos) << row;
        EXPECT_GT(at, last) << row;
        EXPECT_EQ(page.find(row, at + 1), std::string::npos) << row;
        EXPECT_FALSE(format.HelpText.empty()) << row;
        last = at;
    }
}

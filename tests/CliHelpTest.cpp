// brindlex-convert --help: each format's options under its name, each option once, bit rates
// from low to high.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;

namespace {
std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}
} // namespace

TEST(CliHelp, FormatOptionsStandUnderTheirFormatsNames) {
    ConfigHome config;
    TestFolder dir;
    const Outcome o = Convert(dir, {"--help"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string& help = o.out;
    std::size_t at = 0;
    for (const char* heading :
         {"\n  WAVE:\n      --wave-format ", "\n  MP3:\n      --bitrate ", "\n  WMA:\n",
          "\n  FLAC:\n", "\n  Opus:\n      --bitrate ", "\n  Vorbis:\n",
          "\n  AAC:\n      --bitrate ", "\n  FLAC, Opus, Vorbis, AAC, ALAC:\n      --channels ",
          "\n  FLAC, Vorbis, AAC, ALAC:\n      --rate "}) {
        at = help.find(heading, at);
        ASSERT_NE(at, std::string::npos) << heading << "\n" << help;
    }
    EXPECT_NE(
        help.find("      --bitrate KBPS      bit rate: 56, 64, 96, 128, 160, 192, 256, 320\n"),
        std::string::npos);
    EXPECT_EQ(Count(help, "      --bitrate "), 3u);
    EXPECT_EQ(Count(help, "      --rate "), 2u);
    EXPECT_EQ(Count(help, "      --channels "), 1u);
    EXPECT_EQ(Count(help, "      --mono "), 1u);
    // Wrapped within a terminal's 80 columns.
    EXPECT_NE(help.find("      --mp3-vbr 0..9      VBR quality, from 0 = V0 (best, about 245 "
                        "kbit/s)\n                          to 9 = V9 (smallest, about 65 kbit/s)\n"
                        "                          instead of --bitrate; default: off (constant "
                        "bit rate)\n"),
              std::string::npos);
}

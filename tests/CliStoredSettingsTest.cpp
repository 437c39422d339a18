// Stored choices that are no number the program can use, as another program or a damaged store
// leaves them: the run takes the default and says so once, and the job counts as it converted.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

using namespace clitest;

namespace {
// Replaces a stored number's data with a Python value (None, b"..", 1e308), written by Python's
// sqlite3 module as another program would.
void StoreData(const ConfigHome& home, const std::string& name, const std::string& value) {
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, name);
    Shell("/usr/bin/python3 -c " +
          Quote("import sqlite3, sys; db = sqlite3.connect(sys.argv[1]); "
                "db.execute(\"UPDATE reg_values SET data = ? WHERE name = ?\", "
                "(eval(sys.argv[3]), sys.argv[2])); db.commit()") +
          " " + Quote(home.StorePath()) + " " + name + " " + Quote(value));
}

std::size_t Count(const std::string& text, const std::string& line) {
    std::size_t count = 0;
    for (auto at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++count;
    }
    return count;
}

std::string Notice(const std::string& setting, const std::string& shown) {
    return "brindlex-convert: the stored setting " + setting + " = " + shown +
           " is not valid; the default 5 is used\n";
}
} // namespace

TEST(CliStoredSettings, AnUnusableFlacLevelGivesLevel5AndIsSaidOncePerRun) {
    ConfigHome home;
    TestFolder dir;
    const std::string a = SoxTone(dir / "a.wav", 0.3);
    const std::string b = SoxTone(dir / "b.wav", 0.3);
    const std::pair<const char*, const char*> cases[] = {
        {"\"abc\"", "'abc'"},       {"b\"\\x01\\x05\"", "X'0105'"}, {"None", "NULL"},
        {"2**40", "1099511627776"}, {"1e308", "1.0e+308"},          {"9", "9"},
    };
    for (const auto& [value, shown] : cases) {
        StoreData(home, "BrConvFlacLevel", value);
        const Outcome o = Convert(dir, {"--to", "flac", "-y", "-o", dir / "out", a, b});
        EXPECT_EQ(o.exitCode, 0) << value;
        EXPECT_EQ(Count(o.err, Notice("BrConvFlacLevel", shown)), 1u) << o.err;
        EXPECT_NE(o.err.find("Converting 2 files to FLAC compression level 5 "), std::string::npos)
            << o.err;
        // Level 5's blocks of 4,096 frames, where level 0 takes 1,152.
        EXPECT_EQ(Shell("metaflac --show-max-blocksize " + Quote(dir / "out/b.flac")), "4096")
            << value;
    }
}

// "No selection" and "first choice" are values of a list, not faults: only the quality is said.
TEST(CliStoredSettings, AnUnusableVorbisQualityIsTheDefaultAndListsKeepTheirEncodings) {
    ConfigHome home;
    TestFolder dir;
    const std::string tone = SoxTone(dir / "tone.wav", 0.3);
    StoreWriteNumber(0xffffffff, StoreRoot::User, SettingsKey, "BrConvWMAQual");
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "BrConvMP3Bit");
    StoreWriteNumber(99, StoreRoot::User, SettingsKey, "BrConvMP3Freq");
    for (const auto& [value, shown] : {std::pair{"1e308", "1.0e+308"}, std::pair{"11", "11"}}) {
        StoreData(home, "BrConvVorbisQuality", value);
        const Outcome o = Convert(dir, {"--to", "ogg", "-y", tone});
        EXPECT_EQ(o.exitCode, 0);
        EXPECT_EQ(Count(o.err, Notice("BrConvVorbisQuality", shown)), 1u) << o.err;
        EXPECT_EQ(Count(o.err, "stored setting"), 1u) << o.err;
        EXPECT_NE(o.err.find("Converting 1 file to Vorbis quality 5 "), std::string::npos) << o.err;
    }
}

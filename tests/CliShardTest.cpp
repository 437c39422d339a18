// brindlex-convert's shares of a job: --list shows the plan without writing, --shard K/N
// converts the rows of share K, and N shares convert every file exactly once.
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "CliTestSupport.h"
#include "cli/ShardChoice.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// The outputs named by --list: the part after the tab of each line.
std::set<std::string> ListedOutputs(const std::string& out) {
    std::set<std::string> outputs;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        outputs.insert(line.substr(line.find('\t') + 1));
    }
    return outputs;
}

std::set<std::string> Written(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.insert(entry.path().string());
        }
    }
    return names;
}
} // namespace

TEST(CliShard, ThreeSharesOf300FilesConvertEachFileOnceAndListWritesNothing) {
    ConfigHome config;
    TestFolder dir;
    const std::string one = dir / "lib/a/0.wav";
    fs::create_directories(dir / "lib/a");
    fs::create_directories(dir / "lib/b");
    Shell("sox -q -n -r 8000 -c 1 -b 8 " + Quote(one) + " synth 0.005 sine 440");
    for (int i = 1; i < 300; ++i) {
        fs::copy_file(one, dir / ((i % 2 ? "lib/b/" : "lib/a/") + std::to_string(i) + ".wav"));
    }
    const std::string out = dir / "out";
    const std::vector<std::string> job = {"-q", "-r", "-t", "wav", "-o", out, dir / "lib"};

    std::vector<std::string> list = job;
    list.push_back("--list");
    const Outcome all = Convert(dir, list);
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const std::set<std::string> planned = ListedOutputs(all.out);
    EXPECT_EQ(planned.size(), 300u);
    EXPECT_FALSE(fs::exists(out)); // a list converts and makes nothing

    std::set<std::string> converted;
    for (const char* share : {"1/3", "2/3", "3/3"}) {
        std::vector<std::string> args = list;
        args.insert(args.end(), {"--shard", share});
        const std::set<std::string> listed = ListedOutputs(Convert(dir, args).out);
        EXPECT_GT(listed.size(), 60u) << share; // FNV-1a spreads 300 names about evenly
        const std::set<std::string> before =
            fs::exists(out) ? Written(out) : std::set<std::string>{};
        args = job;
        args.insert(args.end(), {"--shard", share});
        const Outcome run = Convert(dir, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::set<std::string> now = Written(out);
        std::set<std::string> added;
        for (const std::string& path : now) {
            if (!before.contains(path)) {
                added.insert(path);
            }
        }
        // Each run writes exactly its listed share, none of which an earlier share wrote.
        EXPECT_EQ(added, listed) << share;
        for (const std::string& path : added) {
            EXPECT_TRUE(converted.insert(path).second) << path;
        }
    }
    EXPECT_EQ(converted, planned);
}

TEST(CliShard, BadSharesAndAStrayNullAreUsageErrors) {
    ConfigHome config;
    TestFolder dir;
    const std::string in = SoxTone(dir / "a.wav", 0.01);
    for (const char* bad : {"0/3", "4/3", "3", "1/0", "-1/3", "1/3x", "/", "a/b", " 1/3"}) {
        const Outcome o = Convert(dir, {"--shard", bad, in});
        EXPECT_EQ(o.exitCode, 2) << bad;
        EXPECT_NE(o.err.find("--shard takes K/N"), std::string::npos) << o.err;
    }
    EXPECT_EQ(Convert(dir, {"-0", in}).exitCode, 2);
    const Outcome zero = Convert(dir, {"--list", "-0", "-t", "mp3", in});
    EXPECT_EQ(zero.out, in + std::string(1, '\0') + (dir / "a.mp3") + std::string(1, '\0'));
}

TEST(ShardChoice, TheHashIsFixedAcrossBuildsAndEveryNameFallsInExactlyOneShare) {
    // Published FNV-1a 64-bit values.
    EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325u);
    EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cu);
    EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8u);
    for (const std::string name : {"a.wav", "b/c.mp3", ""}) {
        int shares = 0;
        for (uint32_t k = 1; k <= 7; ++k) {
            shares += ShardChoice{k, 7}.Holds(name) ? 1 : 0;
        }
        EXPECT_EQ(shares, 1) << name;
    }
    const auto parsed = ShardChoice::Parse("12/40");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Number, 12u);
    EXPECT_EQ(parsed->Count, 40u);
}

// Outputs named from tags (--name), below a library folder (--base) and safe for any file system
// (--safe-names), on inputs made by ffmpeg and tagged by mutagen.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// Tags with mutagen's easy keys; a value "QQQQ" becomes bytes that are no UTF-8 afterwards.
const std::string TagScript = R"(
import sys, mutagen
f = mutagen.File(sys.argv[1], easy=True)
for pair in sys.argv[2:]:
    key, value = pair.split("=", 1)
    f[key] = value
f.save()
data = open(sys.argv[1], "rb").read()
open(sys.argv[1], "wb").write(data.replace(b"QQQQ", b"\xff\xc3(Q"))
)";

struct Input {
    std::string name; // its extension says the format ffmpeg makes
    std::vector<std::string> tags;
    std::string output; // relative to the output folder; empty: only that it is a sound name
};

void MakeInput(const std::string& path, const std::vector<std::string>& tags) {
    fs::create_directories(fs::path(path).parent_path());
    Shell("ffmpeg -v error -f lavfi -i sine=duration=0.2 -ac 2 " + Quote(path));
    std::string command = "/usr/bin/python3 -c " + Quote(TagScript) + " " + Quote(path);
    for (const std::string& tag : tags) {
        command += " " + Quote(tag);
    }
    Shell(command);
    ASSERT_TRUE(fs::exists(path)) << path;
}

// Each listed input and its output.
std::map<std::string, std::string> Listed(const std::string& out) {
    std::map<std::string, std::string> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        rows[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return rows;
}

// Inside the folder, no part hidden or climbing or longer than 255 bytes, valid UTF-8.
void ExpectSoundName(const std::string& output, const std::string& folder) {
    ASSERT_TRUE(output.starts_with(folder)) << output;
    for (const fs::path& part : fs::path(output.substr(folder.size()))) {
        EXPECT_FALSE(part.string().starts_with('.')) << output;
        EXPECT_LE(part.string().size(), 255u) << output;
    }
    EXPECT_EQ(
        Shell("printf %s " + Quote(output) + " | iconv -f UTF-8 -t UTF-8 >/dev/null && echo ok"),
        "ok")
        << output;
}

class CliNaming : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // Makes the inputs in folder, lists them with args, and checks each one's output.
    std::map<std::string, std::string> ExpectListed(const std::string& folder,
                                                    const std::vector<Input>& inputs,
                                                    std::vector<std::string> args) {
        for (const Input& input : inputs) {
            MakeInput(dir / (folder + "/" + input.name), input.tags);
        }
        args.insert(args.end(), {"--list", "-t", "mp3", "-o", dir / "out", dir / folder});
        const Outcome listed = Convert(dir, args);
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        std::map<std::string, std::string> rows = Listed(listed.out);
        for (const Input& input : inputs) {
            const std::string& output = rows[dir / (folder + "/" + input.name)];
            ExpectSoundName(output, dir / "out/");
            if (!input.output.empty()) {
                EXPECT_EQ(output, dir / ("out/" + input.output)) << input.name;
            }
        }
        return rows;
    }
};
} // namespace

TEST_F(CliNaming, NamesFromTagsOfEachFormat) {
    const std::vector<Input> inputs = {
        {"a.flac",
         {"artist=Ann", "album=Songs", "date=2003-05-01", "tracknumber=3/12", "title=Rain"},
         "Ann/2003 - Songs/03 - Rain.mp3"},
        {"b.mp3",
         {"artist=Bo", "albumartist=Various", "album=Mix", "discnumber=2/2", "tracknumber=7",
          "title=Sun"},
         "Various/Mix/2-07 - Sun.mp3"},
        {"c.opus",
         {"artist=Cy", "album=Live", "tracknumber=11", "title=Wind", "date=1999"},
         "Cy/1999 - Live/11 - Wind.mp3"},
        {"d.flac", {}, "Unknown Artist/Unknown Album/- d.mp3"},
    };
    const auto rows = ExpectListed(
        "in", inputs, {"--name", "{albumartist}/[{year} - ]{album}/[{disc}-]{track:02} - {title}"});
    // Shards share the named outputs out as they are listed whole.
    std::map<std::string, std::string> shards;
    for (const char* shard : {"1/2", "2/2"}) {
        const Outcome listed =
            Convert(dir, {"--list", "--shard", shard, "-t", "mp3", "-o", dir / "out", "--name",
                          "{albumartist}/[{year} - ]{album}/[{disc}-]{track:02} "
                          "- {title}",
                          dir / "in"});
        shards.merge(Listed(listed.out));
    }
    EXPECT_EQ(shards, rows);
}

TEST_F(CliNaming, HostileValuesGiveNamesInsideTheFolder) {
    const std::vector<Input> inputs = {
        {"h1.flac", {"artist=.", "title=.."}, "_/__.mp3"},
        {"h2.mp3", {"artist=///", "title=/"}, "---/-.mp3"},
        {"h3.opus", {"artist=\u200fRLM\u200f", "title=  .hidden  "}, "RLM/_hidden.mp3"},
        {"h4.flac",
         {"artist=Long", "title=" + std::string(64 * 1024, 'x')},
         "Long/" + std::string(251, 'x') + ".mp3"},
        {"h5.flac", {"artist=Bad", "title=QQQQ"}, ""},
        {"h6.mp3", {"artist=QQQQ", "title=Bad"}, ""},
    };
    const std::vector<std::string> name = {"--name", "{artist}/{title}"};
    const auto rows = ExpectListed("in", inputs, name);
    // The job makes the folders the names need, its workers write what the plan named, and a
    // second run with -n finds every output there.
    std::vector<std::string> args = name;
    args.insert(args.end(), {"-t", "mp3", "-o", dir / "out", dir / "in"});
    const Outcome converted = Convert(dir, args);
    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    for (const auto& [input, output] : rows) {
        EXPECT_TRUE(fs::is_regular_file(output)) << output;
    }
    args.push_back("-n");
    const Outcome again = Convert(dir, args);
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "0 converted, 0 failed, 6 skipped\n");
}

TEST_F(CliNaming, RefusedBeforeAnythingIsWritten) {
    MakeInput(dir / "in/a.flac", {"artist=Ann", "title=Rain", "album=One"});
    MakeInput(dir / "in/b.flac", {"artist=Ann", "title=Rain", "album=Two"});
    const std::string out = dir / "out";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--name", "{artist}/{title}", "-o", out},
         "  " + out + "/Ann/Rain.mp3 <- " + dir / "in/a.flac and " + dir / "in/b.flac\n"},
        {{"--name", "{artst}", "-o", out},
         "brindlex-convert: Naming pattern '{artst}': unknown field name 'artst' at byte 1.\n"},
        {{"--name", "{title", "-o", out},
         "brindlex-convert: Naming pattern '{title': unbalanced '{' at byte 0.\n"},
        {{"--name", "[{title}/{album}", "-o", out},
         "brindlex-convert: Naming pattern '[{title}/{album}': unbalanced '[' at byte 0.\n"},
        {{"--name", "{track:x}", "-o", out},
         "brindlex-convert: Naming pattern '{track:x}': bad width 'x' at byte 7.\n"},
        {{"--name", "{title}"}, "brindlex-convert: --name needs an output folder (-o)\n"},
    };
    for (auto [args, line] : cases) {
        args.insert(args.end(), {"-t", "mp3", dir / "in"});
        const Outcome refused = Convert(dir, args);
        EXPECT_EQ(refused.exitCode, 2) << args[1];
        EXPECT_NE(refused.err.find(line), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(out)) << args[1];
    }
}

TEST_F(CliNaming, LibraryFolderLandsPartsWhereTheWholeLibraryDoes) {
    for (const char* input :
         {"lib/Ann/Songs/1.flac", "lib/Ann/Songs/2.flac", "lib/Bo/Mix/3.flac"}) {
        MakeInput(dir / input, {});
    }
    const std::string lib = dir / "lib";
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{"-r", lib}, {"Ann/Songs/1.mp3", "Ann/Songs/2.mp3", "Bo/Mix/3.mp3"}},
        {{"--base", lib, dir / "lib/Ann/Songs/2.flac"}, {"Ann/Songs/2.mp3"}},
        {{"-r", "--base", lib, dir / "lib/Bo"}, {"Bo/Mix/3.mp3"}},
        {{"-r", "--base", dir / "lib/Bo/", lib},
         {"Ann/Songs/1.mp3", "Ann/Songs/2.mp3", "Mix/3.mp3"}},
        {{"--name", "{folder}/{name}", "--base", lib, dir / "lib/Ann/Songs/1.flac"},
         {"Ann/Songs/1.mp3"}},
        {{"--name", "[{folder}/]{name}", dir / "lib/Ann/Songs/1.flac"}, {"1.mp3"}},
        {{"--name", "{folder}/{name}", "-r", dir / "lib/Ann"}, {"Songs/1.mp3", "Songs/2.mp3"}},
    };
    for (auto [args, outputs] : cases) {
        args.insert(args.end(), {"--list", "-t", "mp3", "-o", dir / "out"});
        const Outcome listed = Convert(dir, args);
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        std::vector<std::string> listedOutputs;
        for (const auto& [input, output] : Listed(listed.out)) {
            listedOutputs.push_back(output.substr((dir / "out/").size()));
        }
        EXPECT_EQ(listedOutputs, outputs) << args[1];
    }
}

TEST_F(CliNaming, SafeNamesWithAndWithoutAPattern) {
    MakeInput(dir / "in/a:b?.flac", {"album=Best of...", "title=aux"});
    MakeInput(dir / "in/con/c.flac", {"album=X", "title=y*"});
    const std::string out = dir / "out/";
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{"-o", out}, {out + "a_b_.mp3"}},
        {{}, {dir / "in/a_b_.mp3"}},
        {{"-r", "-o", out}, {out + "a_b_.mp3", out + "con_/c.mp3"}},
        {{"-r", "-o", out, "--name", "{album}/{title}"},
         {out + "Best of/aux_.mp3", out + "X/y_.mp3"}},
        {{"-r", "-o", out, "--name", "{album}: <{title}>"},
         {out + "Best of..._ _aux_.mp3", out + "X_ _y__.mp3"}},
    };
    for (auto [args, outputs] : cases) {
        args.insert(args.end(), {"--safe-names", "--list", "-t", "mp3", dir / "in"});
        const Outcome listed = Convert(dir, args);
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        std::vector<std::string> listedOutputs;
        for (const auto& [input, output] : Listed(listed.out)) {
            listedOutputs.push_back(output);
        }
        EXPECT_EQ(listedOutputs, outputs);
    }
}

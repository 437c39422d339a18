// brindlex-convert planning a job: kept folder trees, clashing outputs, the output folder,
// skipped and counted files, what it says before and after, and the defaults it starts from.
#include <clocale>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>

#include "CliTestSupport.h"
#include "catalog/FormatTable.h"
#include "cli/JobDisplay.h"
#include "cli/TerminalText.h"
#include "engine/ConverterChoices.h"
#include "formats/mp3/Mp3Options.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliJob : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    std::string Tone(const std::string& name, double seconds) {
        return SoxTone(dir / name, seconds);
    }

    double Seconds(const std::string& path) { return std::stod(Probe(path, "duration")); }
};

// The last line of standard output.
std::string LastLine(const std::string& out) {
    std::string text = out;
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text.substr(text.rfind('\n') + 1);
}
} // namespace

TEST_F(CliJob, OneNameInTwoFoldersKeepsBothResultsOrIsRefused) {
    Tone("music/a/t.wav", 0.5);
    Tone("music/b/t.wav", 1.0);
    // One folder for everything: the second result would replace the first.
    Outcome o = Convert(dir, {"-t", "mp3", "-r", "--flat", "-o", dir / "out", dir / "music"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(
        o.err.find(dir / "out/t.mp3 <- " + dir / "music/a/t.wav and " + dir / "music/b/t.wav"),
        std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(dir / "out"));

    o = Convert(dir, {"-t", "mp3", "-r", "-o", dir / "out", dir / "music"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NEAR(Seconds(dir / "out/a/t.mp3"), 0.5, 0.06);
    EXPECT_NEAR(Seconds(dir / "out/b/t.mp3"), 1.0, 0.06);
    EXPECT_EQ(LastLine(o.out), "2 converted, 0 failed, 0 skipped");

    // Two types of one name into one target next to the originals.
    WriteTextFile(dir / "x.wav", "RIFF");
    WriteTextFile(dir / "x.mp3", "ID3");
    o = Convert(dir, {"--to", "wma", dir / "x.wav", dir / "x.mp3"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find(dir / "x.wma <- " + dir / "x.wav and " + dir / "x.mp3"), std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(dir / "x.wma"));
}

TEST_F(CliJob, AnOutputFolderInsideTheInputsIsNotReadAgainAndFifosAreSkipped) {
    Tone("music/one.wav", 0.3);
    Tone("music/sub/two.wav", 0.3);
    ASSERT_EQ(mkfifo((dir / "music/pipe.wav").c_str(), 0600), 0);
    const std::vector<std::string> args = {"-t",         "mp3", "-r", "-o", dir / "music/converted",
                                           dir / "music"};
    Outcome o = Convert(dir, args);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(LastLine(o.out), "2 converted, 0 failed, 0 skipped");

    std::vector<std::string> again = args;
    again.insert(again.begin(), "-n");
    o = Convert(dir, again);
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(LastLine(o.out), "0 converted, 0 failed, 2 skipped");
    EXPECT_FALSE(fs::exists(dir / "music/converted/converted"));
}

TEST_F(CliJob, SkipExistingConvertsTheRestAndTheLastLineCounts) {
    Tone("in/a.wav", 0.3);
    Tone("in/b.wav", 0.3);
    ASSERT_EQ(Convert(dir, {"-t", "mp3", "-o", dir / "out", dir / "in"}).exitCode, 0);
    const std::string before = ReadTextFile(dir / "out/a.mp3");
    Tone("in/c.wav", 0.3);
    WriteTextFile(dir / "in/d.wav", "RIFF....WAVEjunk");

    Outcome o = Convert(dir, {"-t", "mp3", "-o", dir / "out", dir / "in"});
    EXPECT_EQ(o.exitCode, 3) << o.err; // without -n or -y nothing happens
    o = Convert(dir, {"-t", "mp3", "--skip-existing", "-o", dir / "out", dir / "in"});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(LastLine(o.out), "1 converted, 1 failed, 2 skipped");
    EXPECT_NE(o.err.find("Unable to read from '" + dir / "in/d.wav'."), std::string::npos);
    EXPECT_EQ(ReadTextFile(dir / "out/a.mp3"), before);
    EXPECT_NEAR(Seconds(dir / "out/c.mp3"), 0.3, 0.06);
    EXPECT_EQ(Convert(dir, {"-t", "mp3", "-n", "-y", dir / "in"}).exitCode, 2);
}

TEST_F(CliJob, NothingToConvertIsAFailure) {
    fs::create_directories(dir / "empty");
    fs::create_directories(dir / "ape");
    WriteTextFile(dir / "ape/x.ape", "MAC ");
    Tone("deep/sub/t.wav", 0.2);
    for (const std::string& folder : {dir / "empty", dir / "ape", dir / "deep"}) {
        const Outcome o = Convert(dir, {"-t", "wav", folder});
        EXPECT_EQ(o.exitCode, 1) << folder;
        EXPECT_EQ(o.err, "No files are selected to be converted.\n");
        EXPECT_EQ(o.out, "");
    }
}

TEST_F(CliJob, StartsFromTheStoredChoicesAndSaysWhatItWrites) {
    ConverterChoices stored;
    stored.Target = FindTargetFormat("mp3")->Number;
    stored.Options.Set(Mp3BitRateOption, 128);
    stored.Options.Set(Mp3SampleRateOption, 32000);
    stored.Options.Set(Mp3MonoOption, 1);
    stored.Save();
    const Outcome help = Convert(dir, {"--help"});
    EXPECT_NE(help.out.find("default: mp3, 128 kbit/s, 32000 Hz, mono"), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("default: one per processor core (" + Shell("nproc") + ")"),
              std::string::npos)
        << help.out;
    const std::string in = Tone("a.wav", 0.3);
    Outcome o = Convert(dir, {in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.err.substr(0, o.err.find('\n')),
              "Converting 1 file to MP3 128 kbit/s 32000 Hz mono next to the originals");
    EXPECT_EQ(ProbeAll(dir / "a.mp3", "sample_rate,channels,bit_rate"),
              "sample_rate=32000\nchannels=1\nbit_rate=128000");

    // A WAVE output format that cannot be written gives way to the standard one, said once.
    fs::create_directories(config.StoreFolder());
    WriteTextFile(config.StoreFolder() + "WaveCompress.bin", std::string(5096, '\x7f'));
    o = Convert(dir, {"-t", "WAV", "-o", dir / "out", in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("WaveCompress.bin cannot be written; using PCM, 16 bit, 44100 Hz, "
                         "stereo instead\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(ProbeAll(dir / "out/a.wav", "codec_tag,sample_rate,channels"),
              "codec_tag=0x0001\nsample_rate=44100\nchannels=2");
}

TEST_F(CliJob, AStoreHeldByAnotherProgramGivesTheDefaultsAndSaysSo) {
    ConverterChoices stored;
    stored.Target = FindTargetFormat("mp3")->Number;
    stored.Save();
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(config.StorePath().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::string in = Tone("a.wav", 0.2);
    const Outcome o = Convert(dir, {"-o", dir / "out", in});
    sqlite3_close(holder);
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("the settings store is in use by another program; using the default "
                         "choices"),
              std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(dir / "out/a.mp3"));
    EXPECT_EQ(Probe(dir / "out/a.wav", "codec_tag"), "0x0001"); // WAVE, the default target
}

TEST_F(CliJob, FloatWaveKeepsEverySample) {
    const std::string in = Tone("in/a.wav", 0.4);
    const Outcome o =
        Convert(dir, {"-t", "wav", "--wave-format", "float:2:44100:32", "-o", dir / "out", in});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(ProbeAll(dir / "out/a.wav", "codec_name,sample_rate,channels"),
              "codec_name=pcm_f32le\nsample_rate=44100\nchannels=2");
    // Back to 16 bits without dither, every sample is the input's.
    EXPECT_EQ(Shell("sox -D " + Quote(dir / "out/a.wav") +
                    " -b 16 -e signed-integer -t raw - | "
                    "md5sum"),
              SoxRaw16(in));
}

TEST_F(CliJob, ShortOptionsQuietAndVersion) {
    const std::string good = Tone("in/good.wav", 0.2);
    WriteTextFile(dir / "in/bad.wav", "RIFF....WAVEjunk");
    const Outcome o = Convert(dir, {"-qry", "-tMP3", "-o", dir / "out", dir / "in"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err, "Unable to read from '" + dir / "in/bad.wav'.\n");
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(fs::exists(dir / "out/good.mp3"));
    const Outcome version = Convert(dir, {"-V"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("brindlex-convert ") + BMC_VERSION + "\n");
}

TEST_F(CliJob, OnATerminalLinesFitAndACancelledJobStopsTheTotalBar) {
    // An hour of silence that takes no disk space, under a name too long for one line.
    std::string name;
    for (int i = 0; i < 40; ++i) {
        name += "日本";
    }
    name += ".wav";
    const std::string in = dir / name;
    WriteTextFile(in, std::string("RIFF\x24\xf0\x7a\x25WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0"
                                  "\x10\xb1\x02\0\x04\0\x10\0data\0\xf0\x7a\x25",
                                  44));
    fs::resize_file(in, 44 + 3600ull * 44100 * 4);
    const std::string out = dir / ("out/" + name);
    WriteTextFile(dir / "run.sh",
                  ConverterPath() + " -t wav -o " + Quote(dir / "out") + " " + Quote(in) +
                      " &\n"
                      // The size of the output, which has no name until it is put in place,
                      // as the command or its worker holds it; a minute at most.
                      "size() { for p in $1 $(cat /proc/$1/task/*/children); do "
                      "for f in /proc/$p/fd/*; do case \"$(readlink $f)\" in */out/#*) "
                      "stat -L -c %s $f; return;; esac; done; done; echo 0; }\n"
                      "n=0; while [ \"$(size $!)\" -lt 1000000 ] && [ $n -lt 1200 ]; do "
                      "n=$((n+1)); sleep 0.05; done\n"
                      "kill -TERM $!; wait $!; echo \"exit=$?\"\n");
    const std::string screen = Shell("script -qec 'sh " + dir / "run.sh' /dev/null");
    EXPECT_NE(screen.find("exit=143"), std::string::npos) << screen;
    EXPECT_NE(screen.find("0 converted, 0 failed, 0 skipped, 1 cancelled"), std::string::npos);
    const std::size_t cancelling = screen.find("Cancelling...");
    ASSERT_NE(cancelling, std::string::npos) << screen;
    EXPECT_EQ(screen.find("100%", cancelling), std::string::npos) << screen;

    const std::string oldLocale = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    bool sawWriting = false;
    std::size_t start = 0;
    for (std::size_t end; (end = screen.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = screen.substr(start, end - start);
        for (std::size_t esc; (esc = line.find('\x1b')) != std::string::npos;) {
            const std::size_t letter = line.find_first_of("FJK", esc);
            line.erase(esc, letter == std::string::npos ? std::string::npos : letter - esc + 1);
        }
        std::erase(line, '\r');
        // The progress block fits; messages such as the first line may wrap.
        const bool progress = line.starts_with("Converted ") || line.starts_with("Writing") ||
                              line.starts_with("File ") || line.starts_with("Total ") ||
                              line.starts_with("...");
        EXPECT_TRUE(!progress || DisplayWidth(line) <= 79u) << line;
        if (line.starts_with("...")) {
            sawWriting = true;
            EXPECT_TRUE(line.ends_with("日本.wav'")) << line;
            EXPECT_NE(static_cast<unsigned char>(line[3]) & 0xC0, 0x80) << line; // whole characters
        }
    }
    std::setlocale(LC_CTYPE, oldLocale.c_str());
    EXPECT_TRUE(sawWriting) << screen;
}

TEST(TerminalText, CutsAtCharactersAndCountsColumns) {
    const std::string oldLocale = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    EXPECT_EQ(DisplayWidth("ab日本é"), 7u);   // wide characters take two columns
    EXPECT_EQ(DisplayWidth("e\xcc\x81"), 1u); // a combining accent takes none
    EXPECT_EQ(KeepEnd("/music/日本.wav", 9), "...本.wav");
    EXPECT_EQ(KeepEnd("/music/日本.wav", 10), "...本.wav"); // never half a character
    EXPECT_EQ(KeepEnd("short", 10), "short");
    EXPECT_EQ(KeepStart("Total 日本", 7), "Total ");
    EXPECT_EQ(KeepStart("a\xff\xfe", 2), "a\xff"); // a stray byte counts one column
    std::setlocale(LC_CTYPE, oldLocale.c_str());
    EXPECT_EQ(ShortDuration(67), "1:07");
    EXPECT_EQ(ShortDuration(3725), "1:02:05");
    EXPECT_EQ(ShortDuration(-4), "0:00");
}

TEST_F(CliJob, TwoAtOnceGiveTheOutputsLinesAndLastLineOfOneAfterAnother) {
    // The first file fails last: its output outgrows the size limit long after the others ended.
    const std::vector<std::string> inputs = {
        Tone("in/long.wav", 12),   dir / "in/junk.wav",      dir / "in/notes.txt",
        Tone("in/short.wav", 0.3), Tone("in/kept.wav", 0.4), Tone("in/tab\tand\nline.wav", 0.3)};
    WriteTextFile(dir / "in/junk.wav", "RIFF....WAVEjunk");
    WriteTextFile(dir / "in/notes.txt", "notes");
    std::vector<std::string> args = {"-t", "mp3", "-y", "-o", dir / "out"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    struct Run {
        Outcome outcome;
        std::map<std::string, std::string> outputs;
    };
    auto run = [&](const std::string& jobs) {
        fs::remove_all(dir / "out");
        fs::create_directories(dir / "out");
        WriteTextFile(dir / "out/kept.mp3", "OLD");
        std::vector<std::string> withJobs = {"-j", jobs};
        withJobs.insert(withJobs.end(), args.begin(), args.end());
        Run r{Convert(dir, withJobs, 100 * 1024), {}};
        for (const auto& entry : fs::directory_iterator(dir / "out")) {
            r.outputs[entry.path().filename()] = ReadTextFile(entry.path());
        }
        return r;
    };
    const Run one = run("1");
    const Run two = run("2");
    const auto problems = [](const Outcome& o) {
        return o.err.substr(o.err.find("The following"));
    };
    EXPECT_EQ(problems(one.outcome),
              "The following problems were encountered:\n"
              "Unable to write to '" +
                  dir / "out/long.mp3': file too large.\n"
                        "Unable to read from '" +
                  dir / "in/junk.wav'.\n"
                        "'.txt' file type is not supported. Error whilst converting '" +
                  dir / "in/notes.txt'.\n");
    EXPECT_EQ(problems(two.outcome), problems(one.outcome));
    EXPECT_EQ(one.outcome.out, "3 converted, 3 failed, 0 skipped\n");
    EXPECT_EQ(two.outcome.out, one.outcome.out);
    EXPECT_EQ(two.outcome.exitCode, 1);
    EXPECT_EQ(two.outputs.size(), 3u); // short.mp3, kept.mp3, tab…mp3; nothing of long.mp3
    EXPECT_TRUE(two.outputs == one.outputs);
    EXPECT_NEAR(Seconds(dir / "out/kept.mp3"), 0.4, 0.06);
    EXPECT_NEAR(Seconds(dir / "out/tab\tand\nline.mp3"), 0.3, 0.06);
}

TEST_F(CliJob, TwoAtOnceKeepTheTreeRefuseClashesAndNeverWriteOneFileTwice) {
    Tone("music/a/t.wav", 0.5);
    Tone("music/b/t.wav", 1.0);
    Tone("music/b/c/t.wav", 1.5);
    Outcome o =
        Convert(dir, {"-j", "2", "-t", "mp3", "-r", "--flat", "-o", dir / "out", dir / "music"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(
        o.err.find(dir / "out/t.mp3 <- " + dir / "music/a/t.wav and " + dir / "music/b/c/t.wav"),
        std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(dir / "out"));

    o = Convert(dir, {"-j", "2", "-t", "mp3", "-r", "-o", dir / "out", dir / "music"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NEAR(Seconds(dir / "out/a/t.mp3"), 0.5, 0.06);
    EXPECT_NEAR(Seconds(dir / "out/b/t.mp3"), 1.0, 0.06);
    EXPECT_NEAR(Seconds(dir / "out/b/c/t.mp3"), 1.5, 0.06);

    // Two spellings of one output folder: the second row finds the first row's output.
    fs::create_directories(dir / "linked");
    fs::create_directory_symlink("a", dir / "linked/b");
    for (const std::string jobs : {"1", "2"}) {
        fs::remove_all(dir / "linked/a");
        fs::create_directory(dir / "linked/a");
        o = Convert(dir, {"-j", jobs, "-t", "mp3", "-r", "-o", dir / "linked", dir / "music"});
        EXPECT_EQ(o.exitCode, 1) << jobs;
        EXPECT_NE(o.err.find("'" + dir / "linked/b/t.mp3' was already written from '" +
                             dir / "music/a/t.wav' in this job; '" +
                             dir / "music/b/t.wav' was not converted."),
                  std::string::npos)
            << o.err;
        EXPECT_NEAR(Seconds(dir / "linked/a/t.mp3"), 0.5, 0.06) << jobs;
    }
    EXPECT_EQ(Convert(dir, {"-j", "0", dir / "music"}).exitCode, 2);
}

TEST(JobDisplay, OnATerminalEachRunningFileHasItsLinesAndTheJobOneTotalBar) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    JobDisplay display({true, false}, out, 2);
    display.SetCounter("Converted 1 of 4");
    display.SetWriting(0, "Writing 'a.mp3'");
    display.SetWriting(1, "Writing 'b.mp3'");
    display.SetFileBar(1, 259);
    display.SetTotalBar(130);
    display.SetSecondsLeft(67);
    display.Refresh();
    display.SetWriting(0, "Writing 'c.mp3'");
    display.Refresh();
    std::fclose(out);
    const std::string screen(text, size);
    std::free(text);
    // The second block is drawn over the first: six lines up, then the same six lines.
    const std::string second = screen.substr(screen.find("\x1b[6F") + 4);
    EXPECT_EQ(second, "Converted 1 of 4\x1b[K\n"
                      "Writing 'c.mp3'\x1b[K\n"
                      "File  [------------------------------]\x1b[K\n"
                      "Writing 'b.mp3'\x1b[K\n"
                      "File  [##############################]\x1b[K\n"
                      "Total [###############---------------] 50%  1:07 left\x1b[K\n");
}

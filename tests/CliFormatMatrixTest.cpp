// Every readable format into every target through brindlex-convert, judged by ffmpeg: a valid
// stream of the target's codec, the input's length, lossless pairs bit for bit, the title carried.
#include <cmath>
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;

namespace {
constexpr const char* Title = "Matrix Song";

struct Input {
    const char* name;    // the file, made from the tone by a tool we did not write
    const char* command; // with %in for the tone, %out for the file and %title
    bool lossless;
};

const Input Inputs[] = {
    {"from-wav.wav", "cp %in %out", true},
    {"from-mp3.mp3", "lame --quiet -b 192 --tt %title %in %out", false},
    {"from-wma.wma", "ffmpeg -v error -i %in -c:a wmav2 -b:a 160k -metadata title=%title %out",
     false},
    {"from-flac.flac", "flac --silent -T TITLE=%title -o %out %in", true},
    {"from-opus.opus", "opusenc --quiet --title %title %in %out", false},
    {"from-ogg.ogg", "oggenc -Q -t %title -o %out %in", false},
    {"from-aac.m4a", "ffmpeg -v error -i %in -c:a aac -b:a 192k -metadata title=%title %out",
     false},
    {"from-alac.m4a", "ffmpeg -v error -i %in -c:a alac -metadata title=%title %out", true},
};

struct Target {
    const char* key; // -t
    const char* extension;
    const char* codec; // as ffprobe names it
    bool lossless;
};

const Target Targets[] = {
    {"wav", ".wav", "pcm_s16le", true}, {"mp3", ".mp3", "mp3", false},
    {"wma", ".wma", "wmav2", false},    {"flac", ".flac", "flac", true},
    {"opus", ".opus", "opus", false},   {"ogg", ".ogg", "vorbis", false},
    {"m4a", ".m4a", "aac", false},      {"alac", ".m4a", "alac", true},
};

// Sample frames as ffmpeg decodes them, at the stream's own rate. FFmpeg 5.1 ends every Ogg
// Vorbis stream 128 frames early (the frames before match libvorbis's), oggenc's as much as ours,
// so Vorbis is counted by sox (libvorbisfile) instead.
long Frames(const std::string& path) {
    const std::string decode =
        Probe(path, "codec_name") == "vorbis"
            ? "sox " + Quote(path) + " -b 16 -c 1 -t raw -"
            : "ffmpeg -v error -i " + Quote(path) + " -map 0:a -f s16le -ac 1 -";
    return std::stol(Shell(decode + " | wc -c")) / 2;
}

long Rate(const std::string& path) {
    return std::stol(Probe(path, "sample_rate"));
}

std::string Pcm(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f s16le - | md5sum");
}

std::string Titles(const std::string& path) {
    return Shell("ffprobe -v error -show_entries format_tags=title:stream_tags=title -of "
                 "default=nw=1:nk=1 " +
                 Quote(path));
}
} // namespace

TEST(CliFormatMatrix, EveryInputToEveryTarget) {
    ConfigHome config;
    TestFolder dir;
    const std::string tone = SoxTone(dir / "tone.wav", 1.0);
    std::vector<std::string> made;
    for (const Input& input : Inputs) {
        std::filesystem::create_directories(dir / "in");
        made.push_back(dir / (std::string("in/") + input.name));
        std::string command = testtools::ReplaceAll(input.command, "%in", Quote(tone));
        command = testtools::ReplaceAll(command, "%out", Quote(made.back()));
        Shell(testtools::ReplaceAll(command, "%title", Quote(Title)));
        ASSERT_GT(Frames(made.back()), 0) << input.name;
    }
    for (const Target& target : Targets) {
        std::vector<std::string> args{"-q", "-t", target.key, "-o", dir / target.key};
        args.insert(args.end(), made.begin(), made.end());
        const Outcome o = Convert(dir, args);
        ASSERT_EQ(o.exitCode, 0) << target.key << ": " << o.err;
        for (std::size_t i = 0; i < std::size(Inputs); ++i) {
            const Input& input = Inputs[i];
            const std::string stem =
                std::string(input.name).substr(0, std::string(input.name).find('.'));
            const std::string output =
                dir / (std::string(target.key) + "/" + stem + target.extension);
            SCOPED_TRACE(std::string(input.name) + " -> " + target.key);
            ASSERT_EQ(Probe(output, "codec_name"), target.codec);
            // As long as what ffmpeg reads from the input, counted at the output's rate (Opus
            // is always 48 kHz); a rate change may round by a frame.
            const double scale = double(Rate(output)) / double(Rate(made[i]));
            const long expected = std::lround(double(Frames(made[i])) * scale);
            const long frames = Frames(output);
            if (std::string(target.key) == "wma") {
                // WMA records no length: its last block of 2,048 frames ends in silence.
                EXPECT_GE(frames, expected);
                EXPECT_LT(frames, expected + 2048);
            } else {
                EXPECT_LE(std::labs(frames - expected), scale == 1.0 ? 0 : 1)
                    << frames << " frames, " << expected << " expected";
            }
            if (input.lossless && target.lossless) {
                EXPECT_EQ(Pcm(output), Pcm(tone));
            }
            if (std::string(target.key) != "wav" && std::string(input.name) != "from-wav.wav") {
                EXPECT_EQ(Titles(output), Title);
            }
        }
    }
}

// ReplayGain written by brindlex-convert while converting: loudness checked against ffmpeg's
// EBU R128 meter, fields read back by mutagen, on inputs made by sox and tagged by metaflac.
#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <filesystem>
#include <map>
#include <sstream>

#include "CliTestSupport.h"

using namespace clitest;

namespace {
// The gain fields of a file, "NAME=value" one a line, as its format stores them: Vorbis comments,
// ID3 "TXXX" frames, iTunes "----" atoms (after their prefix), ASF attributes.
std::multimap<std::string, std::string> GainFields(const std::string& path) {
    static const char* const Script = R"(
import sys, mutagen
f = mutagen.File(sys.argv[1])
pairs = []
if f.tags is not None:
    pairs = list(f.tags) if isinstance(f.tags, list) else list(f.tags.items())
for key, values in pairs:
    name = key.split(":")[-1]
    if "GAIN" in name.upper() or "PEAK" in name.upper():
        for value in values if isinstance(values, list) else [values]:
            text = value.text[0] if hasattr(value, "text") else value
            text = bytes(text).decode() if isinstance(text, (bytes, mutagen.mp4.MP4FreeForm)) else str(text)
            print("%s=%s" % (name, text))
)";
    std::multimap<std::string, std::string> fields;
    std::istringstream lines(Shell("/usr/bin/python3 -c " +
                                   Quote(std::string("import mutagen.mp4\n") + Script) + " " +
                                   Quote(path)));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        fields.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    return fields;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The values of the field of that name in any letter case.
std::vector<std::string> ValuesOf(const std::multimap<std::string, std::string>& fields,
                                  const std::string& name) {
    std::vector<std::string> values;
    for (const auto& [key, value] : fields) {
        if (Upper(key) == name) {
            values.push_back(value);
        }
    }
    return values;
}

struct Measured {
    double loudness; // LUFS
    double peak;     // linear
};

// Integrated loudness and sample peak as ffmpeg's ebur128 filter reports them in its summary.
Measured FfmpegLoudness(const std::string& path) {
    const std::string summary =
        Shell("ffmpeg -nostats -hide_banner -i " + Quote(path) +
              " -af ebur128=peak=sample -f null - 2>&1 | grep -E '^ +(I|Peak):' | tail -n 2");
    double loudness = NAN;
    double peakDb = NAN;
    std::sscanf(summary.c_str(), " I: %lf LUFS Peak: %lf", &loudness, &peakDb);
    return {loudness, std::pow(10.0, peakDb / 20)};
}

// An album's loudness and peak, by libebur128 itself on ffmpeg's decoding of its files.
struct AlbumMeasure {
    double loudness;
    double peak;
};
AlbumMeasure LibEbur128Album(const std::vector<std::string>& inputs) {
    std::vector<ebur128_state*> states;
    double peak = 0;
    for (const std::string& input : inputs) {
        int status = 0;
        const std::string samples = testtools::ShellOutput(
            "ffmpeg -v error -i " + Quote(input) + " -ac 2 -f f32le -acodec pcm_f32le -", status);
        ebur128_state* state = ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK);
        ebur128_add_frames_float(state, reinterpret_cast<const float*>(samples.data()),
                                 samples.size() / (2 * sizeof(float)));
        for (unsigned channel = 0; channel < 2; ++channel) {
            double channelPeak = 0;
            ebur128_sample_peak(state, channel, &channelPeak);
            peak = std::max(peak, channelPeak);
        }
        states.push_back(state);
    }
    double loudness = NAN;
    ebur128_loudness_global_multiple(states.data(), states.size(), &loudness);
    for (ebur128_state* state : states) {
        ebur128_destroy(&state);
    }
    return {loudness, peak};
}

class CliReplayGain : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // 3 s of a 440 Hz tone at gain dB below full scale, as FLAC; metaflac then gives it tags.
    std::string TaggedTone(const std::string& name, double gain, const std::string& tags) {
        const std::string path = dir / name;
        Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(path) + " synth 3 sine 440 gain " +
              std::to_string(gain) +
              (tags.empty() ? "" : " && metaflac " + tags + " " + Quote(path)));
        return path;
    }

    Outcome Run(const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"-y"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Convert(dir, args);
    }
};

const std::string OldGains =
    "--set-tag=REPLAYGAIN_TRACK_GAIN=+4.00dB --set-tag=REPLAYGAIN_TRACK_PEAK=0.100000";

// One value of the field (asserted), as a number.
double Only(const std::multimap<std::string, std::string>& fields, const std::string& name,
            const std::string& output) {
    const std::vector<std::string> values = ValuesOf(fields, name);
    EXPECT_EQ(values.size(), 1u) << output << " " << name;
    return values.empty() ? NAN : std::strtod(values.front().c_str(), nullptr);
}
} // namespace

// Each target, from worker processes and in the program's own process, gets the gain of the
// input's loudness in its form: an old gain of the input replaced, not doubled.
TEST_F(CliReplayGain, EveryTargetIsTaggedWithItsInputsLoudness) {
    const std::string tone = TaggedTone("tone.flac", -10, OldGains);
    const std::string surround = dir / "surround.wav"; // 5.1, its LFE left out of the loudness
    Shell("sox -q -n -r 48000 -c 6 -b 16 " + Quote(surround) +
          " synth 3 sine 440 sine 550 sine 660 sine 100 sine 770 sine 880 gain -6");
    const std::map<std::string, Measured> expected = {{"tone", FfmpegLoudness(tone)},
                                                      {"surround", FfmpegLoudness(surround)}};
    const struct {
        const char* target;
        const char* extension;
        const char* jobs;
    } targets[] = {{"flac", ".flac", "2"}, {"wav", ".wav", "2"},  {"mp3", ".mp3", "2"},
                   {"wma", ".wma", "1"},   {"ogg", ".ogg", "2"},  {"m4a", ".m4a", "2"},
                   {"alac", ".m4a", "1"},  {"opus", ".opus", "2"}};
    for (const auto& t : targets) {
        const std::string folder = dir / t.target;
        // libvorbisenc keeps a block of its six-channel set-up: only the tone goes to Vorbis.
        const bool withSurround = std::string(t.target) != "ogg";
        std::vector<std::string> args = {"-q", "-j",   t.jobs,         "-t",    t.target,
                                         "-o", folder, "--replaygain", "track", tone};
        if (withSurround) {
            args.push_back(surround);
        }
        const Outcome o = Run(args);
        ASSERT_EQ(o.exitCode, 0) << t.target << o.err;
        for (const auto& [name, measured] : expected) {
            if (name == "surround" && !withSurround) {
                continue;
            }
            const std::string output = folder + "/" + name + t.extension;
            const auto fields = GainFields(output);
            if (std::string(t.target) == "opus") {
                EXPECT_TRUE(ValuesOf(fields, "REPLAYGAIN_TRACK_GAIN").empty()) << output;
                EXPECT_NEAR(Only(fields, "R128_TRACK_GAIN", output),
                            (-23 - measured.loudness) * 256, 0.1 * 256 + 1)
                    << output;
                continue;
            }
            EXPECT_NEAR(Only(fields, "REPLAYGAIN_TRACK_GAIN", output), -18 - measured.loudness, 0.1)
                << output;
            EXPECT_NEAR(Only(fields, "REPLAYGAIN_TRACK_PEAK", output), measured.peak, 0.01)
                << output;
            EXPECT_TRUE(ValuesOf(fields, "R128_TRACK_GAIN").empty()) << output;
        }
    }
}

// A silent input is converted without a gain (its old one gone too) and with a notice, which
// is no failure; a gain never asked for is not measured.
TEST_F(CliReplayGain, SilenceGetsNoGainButANotice) {
    const std::string silent = dir / "silent.flac";
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(silent) + " trim 0 2 && metaflac " + OldGains +
          " " + Quote(silent));
    const std::string tone = TaggedTone("tone.flac", -10, "");
    const Outcome o =
        Run({"-j", "1", "-t", "flac", "-o", dir / "out", "--replaygain", "track", silent, tone});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("No ReplayGain for '" + silent + "'"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("No ReplayGain for '" + tone + "'"), std::string::npos) << o.err;
    EXPECT_TRUE(GainFields(dir / "out/silent.flac").empty());

    EXPECT_EQ(Run({"-q", "-t", "flac", "-o", dir / "plain", tone}).exitCode, 0);
    EXPECT_TRUE(GainFields(dir / "plain/tone.flac").empty());
}

// Without --replaygain an input's gains go into Opus as R128 gains (5 dB less, Q7.8) and come
// back from it as ReplayGain's.
TEST_F(CliReplayGain, GainsAreCarriedInTheTargetsForm) {
    const std::string tone = TaggedTone(
        "tone.flac", -10,
        "--set-tag=REPLAYGAIN_TRACK_GAIN=-7.32\\ dB --set-tag=REPLAYGAIN_TRACK_PEAK=0.316254 "
        "--set-tag=REPLAYGAIN_ALBUM_GAIN=-2.50\\ dB --set-tag=REPLAYGAIN_ALBUM_PEAK=0.5");
    ASSERT_EQ(Run({"-q", "-t", "opus", "-o", dir / "opus", tone}).exitCode, 0);
    const auto opus = GainFields(dir / "opus/tone.opus");
    const std::multimap<std::string, std::string> r128 = {{"R128_ALBUM_GAIN", "-1920"},
                                                          {"R128_TRACK_GAIN", "-3154"}};
    EXPECT_EQ(opus, r128);

    ASSERT_EQ(Run({"-q", "-t", "flac", "-o", dir / "back", dir / "opus/tone.opus"}).exitCode, 0);
    const auto back = GainFields(dir / "back/tone.flac");
    EXPECT_EQ(ValuesOf(back, "REPLAYGAIN_TRACK_GAIN"), std::vector<std::string>{"-7.32 dB"});
    EXPECT_EQ(ValuesOf(back, "REPLAYGAIN_ALBUM_GAIN"), std::vector<std::string>{"-2.50 dB"});
    EXPECT_TRUE(ValuesOf(back, "R128_TRACK_GAIN").empty());
}

// A mirror that rewrites only an output's tags measures its source again: the gain stays the
// measured one, not the source's old field.
TEST_F(CliReplayGain, AMirrorsRetagKeepsTheMeasuredGain) {
    std::filesystem::create_directory(dir / "lib");
    const std::string tone = TaggedTone("lib/tone.flac", -10, OldGains);
    const std::vector<std::string> mirror = {"--mirror",  "-t",           "opus",  "-o",
                                             dir / "out", "--replaygain", "track", dir / "lib"};
    ASSERT_EQ(Run(mirror).exitCode, 0);
    const std::string output = dir / "out/tone.opus";
    const double measured = Only(GainFields(output), "R128_TRACK_GAIN", output);
    Shell("metaflac --set-tag=TITLE=Retitled " + Quote(tone));
    const Outcome retag = Run(mirror);
    ASSERT_EQ(retag.exitCode, 0) << retag.err;
    EXPECT_NE(retag.out.find("1 retag"), std::string::npos) << retag.out;
    EXPECT_EQ(Only(GainFields(output), "R128_TRACK_GAIN", output), measured);
}

TEST_F(CliReplayGain, AnUnknownModeIsRefused) {
    const Outcome o = Run({"--replaygain", "loud", "-t", "flac", "x.wav"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("--replaygain takes none, track or album"), std::string::npos) << o.err;
}

// The files of a folder that share an album tag (or have none) are one album, whichever worker
// process converts each: its gain is that of all their audio gated as one programme, as
// libebur128 gates several measurements together, its peak their largest. A damaged track fails
// alone and its album is measured without it.
TEST_F(CliReplayGain, AnAlbumIsMeasuredAsOneProgrammeWithoutItsFailedTracks) {
    std::filesystem::create_directories(dir / "lib/a");
    std::filesystem::create_directories(dir / "lib/b");
    const auto track = [&](const std::string& name, const std::string& sound,
                           const std::string& album) {
        const std::string path = dir / ("lib/" + name + ".flac");
        Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(path) + " synth " + sound +
              (album.empty() ? "" : " && metaflac --set-tag=ALBUM=" + album + " " + Quote(path)));
        return path;
    };
    const std::map<std::string, std::vector<std::string>> albums = {
        {"a",
         {track("a/one", "3 sine 440 gain -10", "A"), track("a/two", "4 pinknoise gain -22", "A"),
          track("a/three", "2.5 sine 1000 gain -30", "A")}},
        {"other", {track("a/other", "3 brownnoise gain -6", "Other")}},
        {"b", {track("b/x", "2 sine 300 gain -3", ""), track("b/y", "3 pinknoise gain -40", "")}}};
    const std::string bad = track("a/bad", "3 sine 440", "A");
    const auto size = std::filesystem::file_size(bad);
    Shell("printf '\\377\\000\\377\\000\\377\\000' | dd of=" + Quote(bad) +
          " bs=1 seek=" + std::to_string(size / 2) + " conv=notrunc 2>/dev/null");

    for (const auto& [target, jobs] : {std::pair{"flac", "1"}, std::pair{"opus", "2"}}) {
        const std::string out = dir / target;
        // Checked once its album's gain is in, by the process that holds it.
        const Outcome o = Run({"-j", jobs, "-r", "-t", target, "-o", out, "--replaygain", "album",
                               "--verify", dir / "lib"});
        EXPECT_EQ(o.exitCode, 1) << o.err;
        EXPECT_NE(o.out.find("6 converted, 6 verified, 1 failed"), std::string::npos) << o.out;
        EXPECT_NE(o.err.find("measured without '" + bad + "'"), std::string::npos) << o.err;
        EXPECT_FALSE(std::filesystem::exists(out + "/a/bad." + target));
        for (const auto& [name, inputs] : albums) {
            const AlbumMeasure expected = LibEbur128Album(inputs);
            for (const std::string& input : inputs) {
                const std::filesystem::path relative =
                    std::filesystem::relative(input, dir / "lib");
                const std::string output =
                    (out / relative).replace_extension(std::string(".") + target);
                const auto fields = GainFields(output);
                if (std::string(target) == "opus") {
                    EXPECT_NEAR(Only(fields, "R128_ALBUM_GAIN", output),
                                (-23 - expected.loudness) * 256, 1)
                        << output;
                    continue;
                }
                // Written with two decimals.
                EXPECT_NEAR(Only(fields, "REPLAYGAIN_ALBUM_GAIN", output), -18 - expected.loudness,
                            0.01 + 0.005)
                    << output;
                EXPECT_NEAR(Only(fields, "REPLAYGAIN_ALBUM_PEAK", output), expected.peak, 1e-6)
                    << output;
            }
        }
    }
    // A mirror converts only what changed: it cannot measure whole albums.
    const Outcome mirror =
        Run({"--mirror", "-t", "opus", "-o", dir / "mirror", "--replaygain", "album", dir / "lib"});
    EXPECT_EQ(mirror.exitCode, 2);
    EXPECT_NE(mirror.err.find("a mirror cannot give album gains"), std::string::npos) << mirror.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "mirror"));
}

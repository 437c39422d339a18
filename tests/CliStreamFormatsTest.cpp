// brindlex-convert to and from FLAC, Opus and Vorbis: tags and pictures carried along a chain of
// formats, the modules checked before the job, and a hostile input leaving an output alone.
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
class CliStreamFormats : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // A FLAC file with two artists, ReplayGain fields and two pictures, tagged by flac's tools.
    std::string TaggedFlac() {
        const std::string wav = SoxTone(dir / "base.wav", 1.5);
        const std::string flac = dir / "song.flac";
        Shell("convert -size 8x8 xc:red " + Quote(dir / "front.png") +
              " && convert -size 4x4 xc:blue " + Quote(dir / "back.jpg") + " && flac -s " +
              Quote(wav) + " -o " + Quote(flac) +
              " && metaflac --set-tag='TITLE=Song é' --set-tag=ARTIST=Alpha --set-tag=ARTIST=Beta"
              " --set-tag=ALBUM=Rec --set-tag=TRACKNUMBER=3 --set-tag='REPLAYGAIN_TRACK_GAIN=-6.5"
              " dB' --import-picture-from='3|image/png|Front||" +
              dir / "front.png" + "' --import-picture-from='4|image/jpeg|Back side||" +
              dir / "back.jpg" + "' " + Quote(flac));
        fs::remove(wav);
        return flac;
    }

    // What mutagen reads of path, one field or picture a line.
    std::string Tags(const std::string& path) { return Shell("mutagen-inspect " + Quote(path)); }
};

// gain: the ReplayGain line in the format's own form.
void ExpectXiphTags(const std::string& tags, const std::string& gain) {
    for (const std::string& line :
         {std::string("TITLE=Song é"), std::string("ARTIST=Alpha\n"), std::string("ARTIST=Beta\n"),
          std::string("ALBUM=Rec"), std::string("TRACKNUMBER=3"), gain})
        EXPECT_NE(tags.find(line), std::string::npos) << line << " in\n" << tags;
}
} // namespace

TEST_F(CliStreamFormats, TagsAndPicturesTravelFlacOpusVorbisMp3AndBack) {
    const std::string flac = TaggedFlac();
    // Opus keeps the gain as R128_TRACK_GAIN (5 dB less, Q7.8); out of it, it is ReplayGain's
    // again, written to two decimals.
    const std::string steps[][3] = {{"opus", "song.opus", "R128_TRACK_GAIN=-2944"},
                                    {"ogg", "song.ogg", "REPLAYGAIN_TRACK_GAIN=-6.50 dB"},
                                    {"mp3", "song.mp3", "REPLAYGAIN_TRACK_GAIN=-6.50 dB"},
                                    {"flac", "song.flac", "REPLAYGAIN_TRACK_GAIN=-6.50 dB"}};
    std::string input = flac;
    for (const auto& [target, name, gain] : steps) {
        SCOPED_TRACE(target);
        const std::string out = dir / target;
        const Outcome o = Convert(dir, {"-q", "-t", target, "-o", out, input});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        input = out + "/" + name;
        const std::string tags = Tags(input);
        if (target == std::string("mp3")) {
            EXPECT_NE(tags.find("TPE1=Alpha / Beta"), std::string::npos) << tags;
            EXPECT_NE(tags.find("TXXX=" + gain), std::string::npos) << tags;
            EXPECT_NE(tags.find("APIC=cover front, Front (image/png"), std::string::npos);
            EXPECT_NE(tags.find("APIC=cover back, Back side (image/jpeg"), std::string::npos);
        } else {
            ExpectXiphTags(tags, gain);
            EXPECT_EQ(tags.find("REPLAYGAIN") == std::string::npos, target == std::string("opus"));
        }
    }
    // The picture blocks at the end of the chain, as flac's own tool lists them.
    const std::string pictures = Shell("metaflac --list --block-type=PICTURE " + Quote(input) +
                                       " | grep -E 'type: [0-9] \\(Cover|MIME|description'");
    EXPECT_EQ(pictures, "  type: 3 (Cover (front))\n  MIME type: image/png\n  description: Front\n"
                        "  type: 4 (Cover (back))\n  MIME type: image/jpeg\n"
                        "  description: Back side");
    EXPECT_EQ(Shell("flac -s -t " + Quote(input) + " && echo whole"), "whole");
}

TEST_F(CliStreamFormats, WithoutItsModuleAFormatIsRefusedBeforeTheJob) {
    const std::string lonely = dir / "lonely";
    fs::create_directory(lonely);
    const std::string converter = lonely + "/brindlex-convert";
    fs::copy_file(ConverterPath(), converter);
    const std::string wav = SoxTone(dir / "tone.wav", 0.5);
    for (const auto& [target, module] : {std::pair{"flac", "FLAC module libbmc-flac.so"},
                                         std::pair{"opus", "Opus module libbmc-opus.so"},
                                         std::pair{"ogg", "Vorbis module libbmc-vorbis.so"}}) {
        const Outcome o = Convert(dir, {"-t", target, wav}, 0, converter);
        EXPECT_EQ(o.exitCode, 4);
        EXPECT_NE(o.err.find(std::string("the ") + module + " is missing"), std::string::npos)
            << o.err;
    }
    fs::copy_file(wav, dir / "song.oga");
    const Outcome from = Convert(dir, {"-t", "wav", dir / "song.oga"}, 0, converter);
    EXPECT_EQ(from.exitCode, 4);
    EXPECT_NE(from.err.find("the Vorbis module libbmc-vorbis.so is missing"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "song.wav"));
}

TEST_F(CliStreamFormats, AMislabelledInputLeavesTheExistingOutputAlone) {
    const std::string opus = dir / "song.opus";
    Shell("sox -q -n -r 44100 -c 2 " + Quote(dir / "song.ogg") + " synth 0.5 sine 440");
    fs::rename(dir / "song.ogg", opus); // Vorbis under Opus's name
    WriteTextFile(dir / "song.flac", "kept");
    const Outcome o = Convert(dir, {"-y", "-t", "flac", opus});
    EXPECT_NE(o.exitCode, 0);
    EXPECT_NE(o.err.find("Unable to read from '" + opus + "'."), std::string::npos) << o.err;
    EXPECT_EQ(ReadTextFile(dir / "song.flac"), "kept");
}

TEST_F(CliStreamFormats, EachFormatsSettingReachesItsEncoderAndNoOther) {
    const std::string wav = SoxTone(dir / "tone.wav", 2.0);
    auto size = [&](const std::vector<std::string>& args, const std::string& out) {
        std::vector<std::string> all = {"-q", "-y"};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(wav);
        const Outcome o = Convert(dir, all);
        EXPECT_EQ(o.exitCode, 0) << o.err;
        return fs::exists(dir / out) ? fs::file_size(dir / out) : 0;
    };
    EXPECT_LT(size({"-t", "opus", "--bitrate", "32"}, "tone.opus") * 4,
              size({"-t", "opus", "--bitrate", "256"}, "tone.opus"));
    EXPECT_LT(size({"-t", "ogg", "--quality", "-1"}, "tone.ogg") * 2,
              size({"-t", "ogg", "--quality", "10"}, "tone.ogg"));
    EXPECT_GT(size({"-t", "flac", "--compression-level", "0"}, "tone.flac"),
              size({"-t", "flac", "--compression-level", "8"}, "tone.flac"));

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"-t", "ogg", "--quality", "11"}, "--quality takes -1 to 10 for Vorbis"},
        {{"-t", "opus", "--bitrate", "31"}, "32 to 256 for Opus"},
        {{"-t", "ogg", "--bitrate", "128"}, "--bitrate applies only to MP3, Opus"},
        {{"-t", "opus", "--compression-level", "5"},
         "--compression-level applies only to FLAC output"},
        {{"-t", "flac", "--quality", "5"}, "--quality applies only to Vorbis output"}};
    for (const auto& [args, message] : refused) {
        std::vector<std::string> all = args;
        all.push_back(wav);
        const Outcome o = Convert(dir, all);
        EXPECT_NE(o.exitCode, 0);
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    }
}

TEST_F(CliStreamFormats, AFolderOfEachTypeConvertsToWave) {
    const std::string wav = SoxTone(dir / "in/tone.wav", 1.0);
    for (const char* target : {"opus", "ogg", "flac"})
        ASSERT_EQ(Convert(dir, {"-q", "-t", target, wav}).exitCode, 0) << target;
    fs::rename(dir / "in/tone.ogg", dir / "in/tone2.oga");
    fs::rename(dir / "in/tone.opus", dir / "in/tone3.opus");
    fs::remove(wav);
    const Outcome o = Convert(
        dir, {"-q", "-t", "wav", "--wave-format", "pcm:2:44100:16", "-o", dir / "out", dir / "in"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    for (const char* name : {"tone.wav", "tone2.wav", "tone3.wav"})
        EXPECT_EQ(SoxSamples(dir / "out/" + name), 44100) << name;
}

// A rate above what the encoder writes is refused before the job; FLAC writes a rate outside its
// streamable subset, and Vorbis an input's rate above libvorbis's at 192000 Hz.
TEST_F(CliStreamFormats, SampleRatesTheEncodersCannotKeep) {
    const std::string wav = SoxTone(dir / "in/tone.wav", 0.5);
    for (const std::string rate : {"176400", "192000"}) {
        const Outcome o = Convert(dir, {"-t", "m4a", "--rate", rate, "-o", dir / "aac", wav});
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_NE(o.err.find("--rate takes 8000 to 96000 or 0 (as the input) for AAC output, "
                             "not " +
                             rate + "\n"),
                  std::string::npos)
            << o.err;
    }
    EXPECT_FALSE(fs::exists(dir / "aac"));
    const std::string high = SoxTone(dir / "high/tone.wav", 0.5, "-r 384000");
    for (const auto& [args, rate] :
         {std::pair{std::vector<std::string>{"-t", "flac", "--rate", "191999", wav}, "191999"},
          std::pair{std::vector<std::string>{"-t", "ogg", high}, "192000"}}) {
        std::vector<std::string> all = {"-q", "-o", dir / "out"};
        all.insert(all.end(), args.begin(), args.end());
        const Outcome o = Convert(dir, all);
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(Probe(dir / ("out/tone." + args[1]), "sample_rate"), rate);
    }
}

// Opus is written at 48 kHz from the program's own resampler: the header names the input's rate
// (opusinfo checks the page it sits on), the stream holds the input's duration at 48 kHz rounded
// to a frame, and reading it back at a lower input rate gives the input's length exactly, however
// short the input. An input without audio fails as unreadable, and nothing else happens to it.
TEST_F(CliStreamFormats, OpusKeepsTheInputsRateAndExactLength) {
    for (const auto& [rate, frames, encoded] :
         {std::tuple{44100, 44101, 48001}, std::tuple{22050, 11, 24}, std::tuple{8000, 7993, 47958},
          std::tuple{96000, 96007, 48004}}) {
        SCOPED_TRACE(rate);
        const std::string name = "in" + std::to_string(rate);
        Shell("sox -q -r " + std::to_string(rate) + " -n -c 2 -b 16 " +
              Quote(dir / (name + ".wav")) + " synth " + std::to_string(frames) +
              "s sine 300 gain -6");
        ASSERT_EQ(
            Convert(dir, {"-q", "-t", "opus", "-o", dir / "opus", dir / (name + ".wav")}).exitCode,
            0);
        const std::string opus = dir / ("opus/" + name + ".opus");
        EXPECT_NE(Shell("opusinfo " + Quote(opus))
                      .find("Original sample rate: " + std::to_string(rate) + " Hz"),
                  std::string::npos);
        EXPECT_EQ(Shell("opusdec --quiet --rate 48000 " + Quote(opus) + " - | wc -c"),
                  std::to_string(encoded * 4));
        ASSERT_EQ(Convert(dir, {"-q", "--wave-format", "pcm:2:" + std::to_string(rate) + ":16",
                                "-o", dir / "back", opus})
                      .exitCode,
                  0);
        // Above 48 kHz a frame of the stream is two or more of the input's.
        EXPECT_NEAR(SoxSamples(dir / ("back/" + name + ".wav")), frames, rate > 48000 ? 1 : 0);
    }
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + Quote(dir / "empty.wav") + " trim 0 0");
    ASSERT_EQ(SoxSamples(dir / "empty.wav"), 0);
    const Outcome o = Convert(dir, {"-q", "-t", "opus", "-o", dir / "opus", dir / "empty.wav"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err, "Unable to read from '" + (dir / "empty.wav") + "'.\n");
}

// An Opus header's output gain of +48 dB: every target writes the tone, clipped at full scale
// where its samples end there, and none wraps it.
TEST_F(CliStreamFormats, AnOpusGainBeyondFullScaleConvertsToEveryTarget) {
    const std::string opus = dir / "loud.opus";
    Shell("sox -q -n -r 48000 -c 2 -b 16 " + Quote(dir / "tone.wav") + " synth 1 sine 440 && " +
          "opusenc --quiet " + Quote(dir / "tone.wav") + " " + Quote(opus));
    // The gain is a Q7.8 number at byte 16 of the OpusHead packet; the page's CRC follows it.
    WriteTextFile(dir / "gain.py", R"(import struct, sys
d = bytearray(open(sys.argv[1], "rb").read())
head = d.find(b"OpusHead")
d[head + 16:head + 18] = struct.pack("<h", 48 * 256)
end = 27 + d[26] + sum(d[27:27 + d[26]])
d[22:26] = bytes(4)
crc = 0
for byte in d[:end]:
    crc ^= byte << 24
    for _ in range(8):
        crc = (crc << 1 ^ (0x04C11DB7 if crc >> 31 else 0)) & 0xFFFFFFFF
d[22:26] = struct.pack("<I", crc)
open(sys.argv[1], "wb").write(d)
)");
    Shell("python3 " + Quote(dir / "gain.py") + " " + Quote(opus));
    for (const std::string target : {"wav", "mp3", "wma", "flac", "ogg", "opus", "m4a", "alac"}) {
        const std::string out = dir / target;
        const Outcome o = Convert(dir, {"-q", "-t", target, "-o", out, opus});
        ASSERT_EQ(o.exitCode, 0) << target << "\n" << o.err;
        // Clipped, the tone keeps its 880 zero crossings a second; wrapped, it would not.
        const std::string file = Shell("ls " + Quote(out) + "/*");
        const std::string rate = Shell("ffmpeg -i " + Quote(file) + " -af astats -f null - 2>&1 " +
                                       "| grep -m1 'Zero crossings rate' | sed 's/.*: //'");
        EXPECT_NEAR(std::stod(rate) * std::stod(Probe(file, "sample_rate")), 880, 40) << target;
    }
}

// AAC and ALAC in MP4 end to end through brindlex-convert: exact lengths by ffmpeg, ALAC bit for
// bit, tags and covers across MP3, M4A and WMA by mutagen, and hostile .m4a inputs.
#include <filesystem>
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// The decoded audio's checksum, as ffmpeg decodes it.
std::string Pcm(const std::string& path, const std::string& format = "s16le") {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f " + format + " - | md5sum");
}

long Frames(const std::string& path, int channels) {
    return std::stol(Shell("ffmpeg -v error -i " + Quote(path) + " -f s16le - | wc -c")) / 2 /
           channels;
}

// One channel of the decoded audio, as ffmpeg decodes it.
std::string ChannelPcm(const std::string& path, int channel) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -af 'pan=mono|c0=c" +
                 std::to_string(channel) + "' -f s16le - | md5sum");
}

std::string Mutagen(const std::string& path) {
    return Shell("mutagen-inspect " + Quote(path));
}

class CliMp4 : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    void Run(const std::vector<std::string>& args) {
        const Outcome o = Convert(dir, args);
        EXPECT_EQ(o.exitCode, 0) << o.err;
    }
};
} // namespace

// The test inputs of every format pair: stereo 44.1 kHz 16-bit, mono 22.05 kHz, and 24-bit
// 96 kHz for the lossless path.
TEST_F(CliMp4, LengthsAreExactAndAlacIsLossless) {
    SoxTone(dir / "in/stereo.wav", 2.5);
    SoxTone(dir / "in/mono.wav", 1.3, "-c 1 -r 22050");
    SoxTone(dir / "hi/deep.wav", 1.1, "-b 24 -r 96000");
    Run({"-t", "m4a", "--output-dir", dir / "aac", dir / "in/stereo.wav", dir / "in/mono.wav"});
    EXPECT_EQ(Frames(dir / "aac/stereo.m4a", 2), 110250);
    EXPECT_EQ(Frames(dir / "aac/mono.m4a", 1), SoxSamples(dir / "in/mono.wav"));
    EXPECT_EQ(Probe(dir / "aac/mono.m4a", "sample_rate"), "22050");
    EXPECT_EQ(Probe(dir / "aac/stereo.m4a", "codec_name"), "aac");

    Run({"-t", "alac", "--output-dir", dir / "alac", dir / "in/stereo.wav", dir / "hi/deep.wav"});
    EXPECT_EQ(Probe(dir / "alac/deep.m4a", "bits_per_raw_sample"), "24");
    EXPECT_EQ(Probe(dir / "alac/deep.m4a", "sample_rate"), "96000");
    EXPECT_EQ(Pcm(dir / "alac/deep.m4a", "s24le"), Pcm(dir / "hi/deep.wav", "s24le"));
    EXPECT_EQ(Pcm(dir / "alac/stereo.m4a"), Pcm(dir / "in/stereo.wav"));
    // And back: the .m4a source tells ALAC from AAC by content and decodes both exactly.
    Run({"-t", "wav", "--output-dir", dir / "back", dir / "alac/stereo.m4a"});
    EXPECT_EQ(Pcm(dir / "back/stereo.wav"), Pcm(dir / "in/stereo.wav"));
    Run({"-t", "wav", "--wave-format", "pcm:1:22050:16", "--output-dir", dir / "back",
         dir / "aac/mono.m4a"});
    EXPECT_EQ(SoxSamples(dir / "back/mono.wav"), SoxSamples(dir / "in/mono.wav"));
}

// Several artists, two pictures and a ReplayGain value go MP3 -> M4A -> MP3 and WMA; the tags
// leave the audio alone.
TEST_F(CliMp4, TagsAndCoversCrossMp3M4aAndWma) {
    Shell("ffmpeg -v error -f lavfi -i 'nullsrc=s=24x24,geq=r=random(1)*255:g=9:b=0' "
          "-frames:v 1 " +
          Quote(dir / "front.png"));
    Shell("ffmpeg -v error -f lavfi -i 'nullsrc=s=16x16,geq=r=0:g=random(1)*255:b=0' "
          "-frames:v 1 " +
          Quote(dir / "back.jpg"));
    Shell("ffmpeg -v error -f lavfi -i sine=f=440:d=1 -c:a libmp3lame -metadata title=Tïtle "
          "-metadata album=Album -metadata REPLAYGAIN_TRACK_GAIN='-6.50 dB' " +
          Quote(dir / "a.mp3"));
    Shell("cd " + Quote(dir.Path()) + " && /usr/bin/python3 -c \"" +
          "from mutagen.id3 import ID3, TPE1, APIC\n"
          "t = ID3('a.mp3')\n"
          "t.add(TPE1(encoding=3, text=['One', 'Two']))\n"
          "t.add(APIC(encoding=3, mime='image/jpeg', type=4, desc='b', "
          "data=open('back.jpg', 'rb').read()))\n"
          "t.add(APIC(encoding=3, mime='image/png', type=3, desc='f', "
          "data=open('front.png', 'rb').read()))\n"
          "t.save()\"");
    Run({"-t", "m4a", "--output-dir", dir / "m4a", dir / "a.mp3"});
    Run({"-t", "m4a", "--no-tags", "--output-dir", dir / "plain", dir / "a.mp3"});
    const std::string m4a = Mutagen(dir / "m4a/a.m4a");
    for (const std::string& line : std::vector<std::string>{
             "©nam=Tïtle", "©alb=Album", "©ART=One\n©ART=Two",
             "----:com.apple.iTunes:REPLAYGAIN_TRACK_GAIN=MP4FreeForm(b'-6.50 dB'",
             "covr=[" + std::to_string(fs::file_size(dir / "front.png")) + " bytes of data], [" +
                 std::to_string(fs::file_size(dir / "back.jpg")) + " bytes of data]"}) {
        EXPECT_NE(m4a.find(line), std::string::npos) << line << " not in\n" << m4a;
    }
    EXPECT_EQ(Pcm(dir / "m4a/a.m4a"), Pcm(dir / "plain/a.m4a"));

    Run({"-t", "mp3", "--output-dir", dir / "mp3", dir / "m4a/a.m4a"});
    Run({"-t", "wma", "--output-dir", dir / "wma", dir / "m4a/a.m4a"});
    const std::string mp3 = Mutagen(dir / "mp3/a.mp3");
    for (const char* line : {"TIT2=Tïtle", "TPE1=One / Two", "TXXX=REPLAYGAIN_TRACK_GAIN=-6.50 dB",
                             "APIC=cover front,  (image/png", "APIC=other,   (image/jpeg"}) {
        EXPECT_NE(mp3.find(line), std::string::npos) << line << " not in\n" << mp3;
    }
    const std::string wma = Mutagen(dir / "wma/a.wma");
    for (const char* line : {"Title=Tïtle", "WM/AlbumTitle=Album", "WM/Picture"}) {
        EXPECT_NE(wma.find(line), std::string::npos) << line << " not in\n" << wma;
    }
}

// Empty, cut short and mislabelled .m4a files end with the read line and leave an old output.
TEST_F(CliMp4, HostileInputsNeverReplaceAnOutput) {
    SoxTone(dir / "in.wav", 1.0);
    Run({"-t", "m4a", "--output-dir", dir.Path(), dir / "in.wav"});
    const std::string good = ReadTextFile(dir / "in.m4a");
    Shell("ffmpeg -v error -i " + Quote(dir / "in.m4a") + " -c copy -movflags +faststart " +
          Quote(dir / "fast.m4a"));
    const std::string fast = ReadTextFile(dir / "fast.m4a");
    fs::create_directory(dir / "bad");
    WriteTextFile(dir / "bad/empty.m4a", "");
    WriteTextFile(dir / "bad/cut.m4a", good.substr(0, good.size() / 2));
    WriteTextFile(dir / "bad/cutfast.m4a", fast.substr(0, fast.size() * 2 / 3));
    WriteTextFile(dir / "bad/wave.m4a", ReadTextFile(dir / "in.wav"));
    fs::create_directory(dir / "out");
    std::vector<std::string> args{"-t", "wav", "--overwrite", "--output-dir", dir / "out"};
    for (const char* name : {"empty", "cut", "cutfast", "wave"}) {
        WriteTextFile(dir / ("out/" + std::string(name) + ".wav"), "OLD");
        args.push_back(dir / ("bad/" + std::string(name) + ".m4a"));
    }
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const char* name : {"empty", "cut", "cutfast", "wave"}) {
        const std::string input = dir / ("bad/" + std::string(name) + ".m4a");
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
        EXPECT_EQ(ReadTextFile(dir / ("out/" + std::string(name) + ".wav")), "OLD") << name;
    }
    EXPECT_TRUE(Leftovers(dir / "out").empty());
}

// An .m4a whose time-to-sample table (damaged by a script) disagrees with its sample count or
// its media's duration is unreadable, not converted in part; AAC and ALAC files made by ffmpeg in
// several lengths convert whole.
TEST_F(CliMp4, ASampleTableAtOddsWithTheMediaIsUnreadable) {
    fs::create_directories(dir / "good");
    fs::create_directories(dir / "bad");
    std::vector<std::string> good;
    for (const std::string codec : {"aac", "alac"}) {
        for (const std::string seconds : {"0.3", "1", "4.7"}) {
            good.push_back(dir / ("good/" + codec + seconds + ".m4a"));
            Shell("ffmpeg -v error -f lavfi -i sine=f=440:d=" + seconds + " -ac 2 -c:a " + codec +
                  " " + Quote(good.back()));
        }
    }
    // Rewrites the first entry's sample count (at 8) or sample duration (at 12).
    const auto damage = [&](const std::string& from, const std::string& name, int at, int value) {
        Shell("/usr/bin/python3 -c \"import struct, sys\n"
              "d = bytearray(open(sys.argv[1], 'rb').read())\n"
              "at = d.find(b'stts') + 4 + " +
              std::to_string(at) + "\nd[at:at + 4] = struct.pack('>I', " + std::to_string(value) +
              ")\nopen(sys.argv[2], 'wb').write(d)\" " + Quote(from) + " " + Quote(dir / name));
        return dir / name;
    };
    const std::vector<std::string> bad = {damage(good[1], "bad/duration.m4a", 12, 10),
                                          damage(good[1], "bad/count.m4a", 8, 1),
                                          damage(good[4], "bad/alac.m4a", 12, 100)};
    std::vector<std::string> args{"-t", "wav", "--output-dir", dir / "out"};
    args.insert(args.end(), good.begin(), good.end());
    args.insert(args.end(), bad.begin(), bad.end());
    const Outcome o = Convert(dir, args);
    EXPECT_EQ(o.exitCode, 1) << o.err;
    for (const std::string& input : bad) {
        EXPECT_NE(o.err.find("\nUnable to read from '" + input + "'.\n"), std::string::npos)
            << o.err;
        EXPECT_FALSE(
            fs::exists(dir / "out" / fs::path(input).replace_extension(".wav").filename()));
    }
    for (const std::string& input : good) {
        SCOPED_TRACE(input);
        EXPECT_EQ(Frames(dir / "out" / fs::path(input).replace_extension(".wav").filename(), 2),
                  Frames(input, 2));
    }
}

// Without the MP4 module an AAC or ALAC job, and a job with an .m4a input, is refused whole
// before anything is written, naming the module.
TEST_F(CliMp4, WithoutTheModuleTheJobIsRefusedWhole) {
    fs::create_directory(dir / "lonely");
    const std::string converter = dir / "lonely/brindlex-convert";
    fs::copy_file(ConverterPath(), converter);
    fs::permissions(converter, fs::perms::owner_exec, fs::perm_options::add);
    SoxTone(dir / "in/tone.wav", 0.5);
    WriteTextFile(dir / "in/song.m4a", "not read");
    const std::vector<std::vector<std::string>> jobs = {
        {"-t", "m4a", dir / "in/tone.wav"},
        {"-t", "alac", dir / "in/tone.wav"},
        {"-t", "wav", "--output-dir", dir / "out", dir / "in/song.m4a"}};
    for (const auto& args : jobs) {
        const Outcome o = Convert(dir, args, 0, converter);
        EXPECT_EQ(o.exitCode, 4) << args[1];
        EXPECT_NE(o.err.find("the MP4 module libbmc-mp4.so is missing; looked in " +
                             dir / "lonely/codecs/"),
                  std::string::npos)
            << o.err;
    }
    EXPECT_FALSE(fs::exists(dir / "in/tone.m4a"));
    EXPECT_FALSE(fs::exists(dir / "out"));
}

// --bitrate sets the AAC bit rate within 64 to 320 kbit/s, and is refused for ALAC.
TEST_F(CliMp4, TheBitRateOptionReachesTheAacEncoder) {
    SoxTone(dir / "in/tone.wav", 2.0);
    Run({"-t", "m4a", "--bitrate", "96", "--output-dir", dir / "out", dir / "in/tone.wav"});
    EXPECT_NEAR(std::stod(Probe(dir / "out/tone.m4a", "bit_rate")), 96000, 12000);
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"-t", "m4a", "--bitrate", "330"},
                                               {"-t", "m4a", "--bitrate", "63"},
                                               {"-t", "alac", "--bitrate", "128"},
                                               {"-t", "m4a", "--mono"}}) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--output-dir", dir / "refused", dir / "in/tone.wav"});
        EXPECT_EQ(Convert(dir, all).exitCode, 2) << args[1] << " " << args[2];
    }
    EXPECT_FALSE(fs::exists(dir / "refused"));
}

// 3, 7 and 8 channels, each with a tone of its own: every channel decodes bit for bit in its place.
TEST_F(CliMp4, AlacWritesThreeSevenAndEightChannels) {
    fs::create_directory(dir / "in");
    for (const int channels : {3, 7, 8}) {
        const std::string count = std::to_string(channels);
        const std::string in = dir / ("in/" + count + ".wav");
        std::string tones;
        for (int c = 1; c <= channels; ++c) {
            tones += " sine " + std::to_string(150 * c);
        }
        Shell("sox -q -n -r 44100 -b 16 -c " + count + " " + Quote(in) + " synth 0.3" + tones);
        Run({"-t", "alac", "--output-dir", dir / "alac", in});
        const std::string out = dir / ("alac/" + count + ".m4a");
        ASSERT_EQ(Probe(out, "channels"), count);
        for (int c = 0; c < channels; ++c) {
            EXPECT_EQ(ChannelPcm(out, c), ChannelPcm(in, c)) << count << " channels, channel " << c;
        }
    }
}

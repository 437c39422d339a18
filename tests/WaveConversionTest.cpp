// Whole conversions: files made by sox and ffmpeg go through the factory, the
// Pump loop and the sink, and the outputs are checked with ffprobe and sox.
#include <gtest/gtest.h>

#include "WaveTestSupport.h"
#include "acm/WaveFormatCatalog.h"
#include "engine/OpenAudioSource.h"

using namespace wavetest;

namespace {

struct Target {
    uint16_t tag;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    const char* codec; // as ffprobe names it
};

struct Case {
    const char* name;
    const char* make; // shell command writing IN
    Target target;
    bool lossless; // output samples equal the input's decoded samples
};

// A record the wave format catalog offers for writing, with its extra bytes.
std::string OfferedFormat(const Target& t) {
    for (const std::vector<uint8_t>& record : WaveFormatCatalog::OfferedRecords(t.tag)) {
        WAVEFORMATEX f;
        std::memcpy(&f, record.data(), sizeof f);
        if (f.nChannels == t.channels && f.nSamplesPerSec == t.rate && f.wBitsPerSample == t.bits)
            return {record.begin(), record.end()};
    }
    return {};
}

// Samples per channel of a wave file as sox decodes it.
long SampleCount(const std::string& path) {
    return std::stol(Shell("soxi -s '" + path + "'"));
}

// Samples in a codec block: more than one for ADPCM, whose extra bytes start
// with that count.
long SamplesPerBlock(const std::string& path) {
    const std::string file = ReadFile(path);
    uint16_t tag = 0, cbSize = 0, perBlock = 1;
    const std::size_t fmt = file.find("fmt ");
    if (fmt == std::string::npos || file.size() < fmt + 30)
        return 1;
    std::memcpy(&tag, file.data() + fmt + 8, 2);
    if (tag == WAVE_FORMAT_ADPCM || tag == WAVE_FORMAT_IMA_ADPCM) {
        std::memcpy(&cbSize, file.data() + fmt + 24, 2);
        if (cbSize >= 2)
            std::memcpy(&perBlock, file.data() + fmt + 26, 2);
    }
    return perBlock;
}

// Samples as ffmpeg decodes them, interleaved signed little-endian of `bits` (16, 24 or 32).
std::string Decoded(const std::string& path, int bits) {
    return Shell("ffmpeg -v error -i '" + path + "' -f s" + std::to_string(bits) + "le -");
}

const Target Pcm16Stereo44{WAVE_FORMAT_PCM, 2, 44100, 16, "pcm_s16le"};

const Case Cases[] = {
    {"u8 mono to itself",
     "sox -n -r 8000 -b 8 -e unsigned -c 1 IN synth 3.7 sine 440 gain -3",
     {WAVE_FORMAT_PCM, 1, 8000, 8, "pcm_u8"},
     true},
    {"u8 mono to s16 stereo 44100", "sox -n -r 8000 -b 8 -e unsigned -c 1 IN synth 3.7 sine 440",
     Pcm16Stereo44, false},
    {"s16 stereo to itself", "sox -n -r 44100 -b 16 -c 2 IN synth 3.7 sine 440 sine 660 gain -3",
     Pcm16Stereo44, true},
    {"s16 stereo to IMA ADPCM mono 22050",
     "sox -n -r 44100 -b 16 -c 2 IN synth 3.7 sine 440",
     {WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4, "adpcm_ima_wav"},
     false},
    {"s16 stereo to MS ADPCM stereo",
     "sox -n -r 44100 -b 16 -c 2 IN synth 3.7 sine 440",
     {WAVE_FORMAT_ADPCM, 2, 44100, 4, "adpcm_ms"},
     false},
    {"s16 stereo to A-law mono 8000",
     "sox -n -r 44100 -b 16 -c 2 IN synth 3.7 sine 440",
     {WAVE_FORMAT_ALAW, 1, 8000, 8, "pcm_alaw"},
     false},
    {"s24 stereo to itself",
     "sox -n -r 48000 -b 24 -c 2 -t wavpcm IN synth 3.7 sine 440 gain -3",
     {WAVE_FORMAT_PCM, 2, 48000, 24, "pcm_s24le"},
     true},
    {"extensible s24 to s24",
     "ffmpeg -v error -f lavfi -i sine=f=440:d=3.7:r=48000 -ac 2 -c:a "
     "pcm_s24le IN",
     {WAVE_FORMAT_PCM, 2, 48000, 24, "pcm_s24le"},
     true},
    {"float stereo to s16", "sox -n -r 44100 -e floating-point -b 32 -c 2 IN synth 3.7 sine 440",
     Pcm16Stereo44, false},
    {"A-law to s16",
     "sox -n -r 8000 -e a-law -b 8 -c 1 IN synth 3.7 sine 440",
     {WAVE_FORMAT_PCM, 1, 8000, 16, "pcm_s16le"},
     true},
    {"mu-law to s16",
     "sox -n -r 8000 -e u-law -b 8 -c 1 IN synth 3.7 sine 440",
     {WAVE_FORMAT_PCM, 1, 8000, 16, "pcm_s16le"},
     true},
    {"IMA ADPCM to s16",
     "sox -n -r 22050 -e ima-adpcm -c 1 IN synth 3.7 sine 440",
     {WAVE_FORMAT_PCM, 1, 22050, 16, "pcm_s16le"},
     true},
    {"MS ADPCM to s16",
     "sox -n -r 44100 -e ms-adpcm -c 2 IN synth 3.7 sine 440 sine 660",
     {WAVE_FORMAT_PCM, 2, 44100, 16, "pcm_s16le"},
     true},
    {"IMA ADPCM stereo to mu-law mono 8000",
     "ffmpeg -v error -f lavfi -i sine=f=440:d=3.7:r=44100 -ac 2 -c:a "
     "adpcm_ima_wav IN",
     {WAVE_FORMAT_MULAW, 1, 8000, 8, "pcm_mulaw"},
     false},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class WaveConversion : public ::testing::TestWithParam<Case> {
protected:
    TestFolder dir;
    TestRow row;
};

} // namespace

TEST_P(WaveConversion, KeepsFormatLengthAndSamples) {
    const Case& c = GetParam();
    const std::string in = dir / "in.wav";
    const std::string out = dir / "out.wav";
    Shell(testtools::ReplaceAll(c.make, "IN", "'" + in + "'"));
    const std::string format = OfferedFormat(c.target);
    ASSERT_FALSE(format.empty()) << "the catalog offers no such output format";
    WAVEFORMATEX record;
    std::memcpy(&record, format.data(), sizeof record);
    UseWaveOutput(row, out, record, format.substr(sizeof record));

    ConversionError code = ConversionError::ceMemory;
    {
        auto source = OpenAudioSource(in.c_str(), row.Context(), code);
        ASSERT_NE(source, nullptr);
        ASSERT_EQ(code, ConversionError::ceNone);
        int32_t progress[2] = {};
        int pumps = 1;
        while (source->Pump())
            ++pumps;
        source->GetProgress(progress);
        EXPECT_EQ(pumps, 2); // three seconds of PCM per block, and 3.7 s of audio
        EXPECT_GT(progress[0], 0);
        EXPECT_EQ(progress[1], progress[0]);
    }
    EXPECT_FALSE(row.result.WriteError);

    // What an independent reader makes of the output.
    const std::string probe = Shell("ffprobe -v error -show_entries stream=codec_name,sample_rate,"
                                    "channels -of default=nw=1 '" +
                                    out + "'");
    EXPECT_NE(probe.find(std::string("codec_name=") + c.target.codec), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=" + std::to_string(c.target.rate)), std::string::npos);
    EXPECT_NE(probe.find("channels=" + std::to_string(c.target.channels)), std::string::npos);
    uint16_t tag = 0;
    std::memcpy(&tag, ReadFile(out).data() + 20, 2);
    EXPECT_EQ(tag, c.target.tag);

    // Length: the input's, at the output's rate, within one codec block.
    const long inSamples = SampleCount(in);
    const long outSamples = SampleCount(out);
    const std::string inRate = Shell("soxi -r '" + in + "'");
    const double scaled = double(inSamples) * c.target.rate / std::stod(inRate);
    const double block = std::max(double(SamplesPerBlock(in)) * c.target.rate / std::stod(inRate),
                                  double(SamplesPerBlock(out)));
    // Nothing is lost at block boundaries or at the end; a last compressed block may be padded.
    EXPECT_GE(double(outSamples), scaled - 2) << "in " << inSamples << " out " << outSamples;
    EXPECT_LE(double(outSamples), scaled + block + 2)
        << "in " << inSamples << " out " << outSamples;

    if (c.lossless) {
        const int bits = c.target.bits > 16 ? c.target.bits : 16;
        EXPECT_TRUE(Decoded(in, bits) == Decoded(out, bits)) << "samples differ";
    }
}

INSTANTIATE_TEST_SUITE_P(SoxAndFfmpegFiles, WaveConversion, ::testing::ValuesIn(Cases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(WaveConversionEnd, ACompressedFileCutMidBlockKeepsEverySampleItHolds) {
    TestFolder dir;
    TestRow row;
    const std::string full = dir / "full.wav";
    const std::string in = dir / "in.wav";
    const std::string out = dir / "out.wav";
    Shell("sox -n -r 22050 -e ima-adpcm -c 1 '" + full + "' synth 3.7 sine 440");
    // The data chunk still claims the whole recording; the file ends 4 bytes into a block.
    WriteFile(in, ReadFile(full).substr(0, 40000));
    UseWaveOutput(row, out, MakePcmFormat(1, 22050, 16));
    ConversionError code = ConversionError::ceMemory;
    {
        auto source = OpenAudioSource(in.c_str(), row.Context(), code);
        ASSERT_EQ(code, ConversionError::ceNone);
        while (source->Pump()) {
        }
    }
    EXPECT_FALSE(row.result.WriteError);
    const std::string expected = Decoded(in, 16);
    EXPECT_GT(expected.size(), 150000u);
    EXPECT_TRUE(expected == ReadFile(out).substr(46)) << expected.size();
}

// Round trips through tools we did not write: files written through the wave format conversions
// are read by ffprobe and sox; files ffmpeg writes decode through them to the PCM ffmpeg itself
// decodes.
#include <gtest/gtest.h>

#include "acm/WaveFormatCatalog.h"
#include "tests/FormatConversionTestSupport.h"

using namespace conversiontest;

namespace {
constexpr uint32_t kFrames = 44100; // one second of 16-bit stereo 44100 Hz
const std::vector<uint8_t> kSource = Bytes(MakePcmFormat(2, 44100, 16));

struct Written {
    uint16_t tag;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    const char* codec; // ffprobe's codec name
    uint32_t block;    // sample frames per block: the allowed length excess
};

std::string Probe(const std::string& path, const std::string& entries) {
    return RunTool("ffprobe -v error -select_streams a:0 -show_entries stream=" + entries +
                   " -of default=nw=1:nk=1 '" + path + "'");
}

// Sample frames ffmpeg decodes from a file.
size_t DecodedFrames(const std::string& path, uint16_t channels) {
    return RunTool("ffmpeg -v error -i '" + path + "' -f s16le -acodec pcm_s16le -").size() / 2 /
           channels;
}
} // namespace

TEST(WaveFormatRoundTrip, FilesWrittenThroughTheConversionsReadElsewhere) {
    const Written cases[] = {
        {WAVE_FORMAT_PCM, 2, 44100, 8, "pcm_u8", 1},
        {WAVE_FORMAT_PCM, 2, 44100, 16, "pcm_s16le", 1},
        {WAVE_FORMAT_PCM, 1, 48000, 24, "pcm_s24le", 1},
        {WAVE_FORMAT_PCM, 2, 22050, 32, "pcm_s32le", 1},
        {WAVE_FORMAT_ALAW, 1, 8000, 8, "pcm_alaw", 1},
        {WAVE_FORMAT_MULAW, 2, 11025, 8, "pcm_mulaw", 1},
        {WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4, "adpcm_ima_wav", 1017},
        {WAVE_FORMAT_ADPCM, 2, 44100, 4, "adpcm_ms", 2036},
        {WAVE_FORMAT_GSM610, 1, 8000, 0, "gsm_ms", 320},
    };
    TempDir dir;
    const auto input = Sine16(44100, 2, kFrames);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codec);
        const auto target = WaveFormatCatalog::MakeRecord(c.tag, c.channels, c.rate, c.bits);
        ASSERT_FALSE(target.empty());
        const auto data = ConvertStream(kSource, target, input, {1000, 17640, 333});
        ASSERT_FALSE(data.empty());
        const std::string path = dir / (std::string(c.codec) + ".wav");
        WriteWave(path, target, data);

        EXPECT_EQ(Probe(path, "codec_name,sample_rate,channels"),
                  std::string(c.codec) + "\n" + std::to_string(c.rate) + "\n" +
                      std::to_string(c.channels) + "\n");
        const size_t expected = static_cast<size_t>(c.rate); // one second
        const size_t decoded = DecodedFrames(path, c.channels);
        EXPECT_GE(decoded + 1, expected);
        EXPECT_LE(decoded, expected + c.block);

        // sox reads these tags too, with its own decoders.
        const std::string sox =
            RunTool("sox --i -r '" + path + "' 2>&1") + RunTool("sox --i -c '" + path + "' 2>&1");
        EXPECT_EQ(sox, std::to_string(c.rate) + "\n" + std::to_string(c.channels) + "\n");
        const std::string soxFrames = RunTool("sox --i -s '" + path + "' 2>&1");
        EXPECT_NEAR(std::atof(soxFrames.c_str()), static_cast<double>(expected), c.block);
    }
}

TEST(WaveFormatRoundTrip, FilesFfmpegWritesDecodeAsFfmpegDecodesThem) {
    struct Made {
        const char* args; // ffmpeg output options
        bool exact;       // bit-exact against ffmpeg's own decoding
        uint16_t tag;     // expected tag in the file
    };
    const Made cases[] = {
        {"-c:a pcm_u8", true, WAVE_FORMAT_PCM},
        {"-c:a pcm_s16le", true, WAVE_FORMAT_PCM},
        {"-c:a pcm_s24le", true, WAVE_FORMAT_EXTENSIBLE},
        {"-c:a pcm_s32le", true, WAVE_FORMAT_EXTENSIBLE},
        {"-c:a pcm_f32le", true, WAVE_FORMAT_EXTENSIBLE},
        {"-c:a pcm_alaw", true, WAVE_FORMAT_ALAW},
        {"-c:a pcm_mulaw", true, WAVE_FORMAT_MULAW},
        {"-c:a adpcm_ima_wav", false, WAVE_FORMAT_IMA_ADPCM},
        {"-c:a adpcm_ms", false, WAVE_FORMAT_ADPCM},
        {"-c:a libgsm_ms -ar 8000 -ac 1", false, WAVE_FORMAT_GSM610},
        {"-c:a libmp3lame -b:a 128k", false, WAVE_FORMAT_MPEGLAYER3},
        {"-c:a adpcm_yamaha", false, 0x20},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string path = dir / "made.wav";
        RunTool(
            "ffmpeg -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=22050:duration=1.3' "
            "-ac 2 " +
            std::string(c.args) + " '" + path + "'");
        Wave wave;
        ASSERT_TRUE(ReadWave(path, wave));
        const auto* format = Record(wave.format);
        EXPECT_EQ(format->wFormatTag, c.tag);
        const auto pcm = Bytes(MakePcmFormat(format->nChannels, format->nSamplesPerSec, 16));
        const auto ours = Samples16(ConvertStream(wave.format, pcm, wave.data, {5000, 77, 16384}));
        const auto theirs =
            Samples16(RunTool("ffmpeg -v error -i '" + path + "' -f s16le -acodec pcm_s16le -"));
        ASSERT_FALSE(theirs.empty());
        if (c.exact) {
            EXPECT_EQ(ours, theirs);
            continue;
        }
        // Same length within one codec block, and the same signal within the codec's noise.
        const size_t block = 4096;
        EXPECT_NEAR(static_cast<double>(ours.size()), static_cast<double>(theirs.size()),
                    block * format->nChannels);
        const size_t n = std::min(ours.size(), theirs.size());
        double signal = 0, noise = 0;
        for (size_t i = 0; i < n; ++i) {
            signal += double(theirs[i]) * theirs[i];
            noise += (double(ours[i]) - theirs[i]) * (double(ours[i]) - theirs[i]);
        }
        EXPECT_GT(10 * std::log10(signal / std::max(noise, 1.0)), 40.0);
    }
}

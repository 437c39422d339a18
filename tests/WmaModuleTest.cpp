// The WMA module on its own: files it writes are checked with ffprobe and decoded by ffmpeg;
// files ffmpeg writes are read back through it.
#include <cmath>
#include <cstring>

#include "tests/WmaTestSupport.h"

using namespace wmatest;

namespace {

// A 440 Hz tone at about half scale, 16-bit interleaved.
std::string Tone16(uint32_t rate, uint16_t channels, uint32_t frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i)
        for (uint16_t c = 0; c < channels; ++c)
            samples[i * channels + c] =
                static_cast<int16_t>(16000 * std::sin(2 * M_PI * 440 * i / rate));
    return {reinterpret_cast<const char*>(samples.data()), samples.size() * 2};
}

// Writes pcm through the module in pieces of awkward sizes; the writer's result of each step.
struct WriteResult {
    bool created = false;
    bool allWritesOk = true;
    HRESULT flush = E_FAIL;
};

WriteResult WriteWma(const std::string& path, const WAVEFORMATEX& input, const std::string& pcm,
                     uint32_t bitRate, uint32_t sampleRate, uint32_t channels = 2) {
    WriteResult result;
    IWMAudioWriter* raw = nullptr;
    if (Module().createWriter(path.c_str(), &raw) != S_OK || raw == nullptr)
        return result;
    result.created = true;
    Ref<IWMAudioWriter> writer(raw);
    writer->SetInputFormat(&input);
    writer->SetOutputFormat(bitRate, sampleRate, channels, 0);
    for (size_t done = 0, piece = 1001; done < pcm.size();
         done += piece, piece = piece * 3 % 7919) {
        const size_t n = std::min(piece, pcm.size() - done);
        result.allWritesOk &=
            writer->WriteSamples(pcm.data() + done, static_cast<uint32_t>(n)) == S_OK;
    }
    result.flush = writer->Flush();
    return result;
}

struct ReadResult {
    bool created = false;
    WAVEFORMATEX format{};
    uint32_t durationMs = 0;
    HRESULT durationResult = E_FAIL;
};

// Reads a file through the module to its end into callback.
ReadResult ReadWma(const std::string& path, RecordingCallback& callback) {
    ReadResult result;
    IWMAudioReader* raw = nullptr;
    if (Module().createReader(path.c_str(), &callback, &raw, 0) != S_OK || raw == nullptr)
        return result;
    result.created = true;
    Ref<IWMAudioReader> reader(raw);
    reader->GetOutputFormat(&result.format, sizeof result.format);
    uint32_t type = 99;
    uint16_t length = 4;
    result.durationResult = reader->GetAttributeByName(
        WMA_ATTRIBUTE_DURATION, &type, reinterpret_cast<uint8_t*>(&result.durationMs), &length);
    reader->Start();
    EXPECT_TRUE(callback.WaitForStatus()) << path;
    reader->Stop();
    return result;
}

double Rms(const std::string& pcm16) {
    const auto* s = reinterpret_cast<const int16_t*>(pcm16.data());
    const size_t n = pcm16.size() / 2;
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / n) : 0;
}

} // namespace

TEST(WmaModule, ExportsItsTwoEntryPoints) {
    ASSERT_NE(Module().createReader, nullptr);
    ASSERT_NE(Module().createWriter, nullptr);
}

struct Quality {
    uint32_t bitRate;
    uint32_t sampleRate;
};

class WmaWriterQuality : public ::testing::TestWithParam<Quality> {};

// Every quality entry gives a wmav2 ASF file with the asked rate, bit rate and two channels, and
// ffmpeg decodes back every input sample (no more than one frame of padding after them).
TEST_P(WmaWriterQuality, WritesWhatFfprobeAndFfmpegConfirm) {
    const Quality q = GetParam();
    ScratchDir dir;
    const std::string out = dir / "q.wma";
    const uint32_t frames = 44100;
    const WriteResult w = WriteWma(out, MakePcmFormat(2, 44100, 16), Tone16(44100, 2, frames),
                                   q.bitRate, q.sampleRate);
    ASSERT_TRUE(w.created);
    EXPECT_TRUE(w.allWritesOk);
    EXPECT_EQ(w.flush, S_OK);
    EXPECT_EQ(Probe(out, "format=format_name"), "asf");
    EXPECT_EQ(Probe(out, "stream=codec_name"), "wmav2");
    EXPECT_EQ(Probe(out, "stream=bit_rate"), std::to_string(q.bitRate));
    EXPECT_EQ(Probe(out, "stream=sample_rate"), std::to_string(q.sampleRate));
    EXPECT_EQ(Probe(out, "stream=channels"), "2");
    const size_t decoded = DecodeWithFfmpeg(out).size() / 4;
    const size_t expected = size_t{frames} * q.sampleRate / 44100;
    EXPECT_GE(decoded + 64, expected); // resampling may round off a few
    EXPECT_LT(decoded, expected + 2048);
}

INSTANTIATE_TEST_SUITE_P(AllEntries, WmaWriterQuality,
                         ::testing::Values(Quality{160000, 44100}, Quality{128000, 44100},
                                           Quality{96000, 44100}, Quality{64000, 44100},
                                           Quality{48000, 44100}, Quality{64000, 32000},
                                           Quality{48000, 32000}, Quality{36000, 32000}),
                         [](const auto& info) {
                             return std::to_string(info.param.sampleRate) + "Hz" +
                                    std::to_string(info.param.bitRate / 1000) + "k";
                         });

// The first frame the decoder drops is the writer's silent priming frame: a tone that starts
// 10000 samples in still starts there after the round trip.
TEST(WmaWriter, KeepsTheTimingOfTheInput) {
    ScratchDir dir;
    const std::string out = dir / "onset.wma";
    std::string pcm(10000 * 2, '\0');
    pcm += Tone16(44100, 1, 20000);
    ASSERT_EQ(WriteWma(out, MakePcmFormat(1, 44100, 16), pcm, 128000, 44100, 1).flush, S_OK);
    const std::string decoded = DecodeWithFfmpeg(out);
    const auto* s = reinterpret_cast<const int16_t*>(decoded.data());
    size_t onset = 0;
    while (onset < decoded.size() / 2 && std::abs(s[onset]) < 4000)
        ++onset;
    EXPECT_NEAR(double(onset), 10000.0, 64.0);
}

// Mono 8-bit, 24-bit and float inputs at other rates are converted; the mono tone keeps its level
// in both output channels.
TEST(WmaWriter, ConvertsOtherPcmLayouts) {
    ScratchDir dir;
    const uint32_t frames = 22050;
    std::string u8(frames, '\0'), s24, f32;
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * 440 * i / 22050.0);
        u8[i] = static_cast<char>(128 + static_cast<int>(v * 127));
        const int32_t x = static_cast<int32_t>(v * 8388607);
        s24.append(reinterpret_cast<const char*>(&x), 3);
        const float f = static_cast<float>(v);
        f32.append(reinterpret_cast<const char*>(&f), 4);
    }
    const WAVEFORMATEX floatFormat{WAVE_FORMAT_IEEE_FLOAT, 1, 22050, 22050 * 4, 4, 32, 0};
    const struct {
        const char* name;
        WAVEFORMATEX format;
        const std::string& pcm;
    } cases[] = {{"u8", MakePcmFormat(1, 22050, 8), u8},
                 {"s24", MakePcmFormat(1, 22050, 24), s24},
                 {"f32", floatFormat, f32}};
    for (const auto& c : cases) {
        const std::string out = dir / (std::string(c.name) + ".wma");
        const WriteResult w = WriteWma(out, c.format, c.pcm, 128000, 44100);
        EXPECT_TRUE(w.allWritesOk) << c.name;
        EXPECT_EQ(w.flush, S_OK) << c.name;
        const std::string decoded = DecodeWithFfmpeg(out);
        EXPECT_NEAR(double(decoded.size() / 4), 44100.0, 2048.0) << c.name;
        // Half scale sine: RMS 0.5 / sqrt(2) of full scale.
        EXPECT_NEAR(Rms(decoded) / 32768.0, 0.354, 0.04) << c.name;
    }
}

// Formats the encoder cannot take are refused; no file is made and every write fails.
TEST(WmaWriter, RefusedFormatsFailEveryWrite) {
    ScratchDir dir;
    const std::string pcm = Tone16(44100, 2, 4096);
    const WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 0};
    WriteResult w = WriteWma(dir / "tag.wma", mp3, pcm, 128000, 44100);
    EXPECT_TRUE(w.created);
    EXPECT_FALSE(w.allWritesOk);
    EXPECT_NE(w.flush, S_OK);
    EXPECT_FALSE(std::filesystem::exists(dir / "tag.wma"));
    w = WriteWma(dir / "rate.wma", MakePcmFormat(2, 44100, 16), pcm, 128000, 44100, 0);
    EXPECT_FALSE(w.allWritesOk);
    IWMAudioWriter* writer = nullptr;
    EXPECT_NE(Module().createWriter((dir / "missing/folder.wma").c_str(), &writer), S_OK);
    EXPECT_EQ(writer, nullptr);
}

// An empty stream still makes a valid, empty ASF file.
TEST(WmaWriter, EmptyInputMakesAValidFile) {
    ScratchDir dir;
    const std::string out = dir / "empty.wma";
    EXPECT_EQ(WriteWma(out, MakePcmFormat(2, 44100, 16), "", 64000, 44100).flush, S_OK);
    EXPECT_EQ(Probe(out, "stream=codec_name"), "wmav2");
}

struct Source {
    const char* codec;
    int rate;
    int channels;
};

class WmaReaderSource : public ::testing::TestWithParam<Source> {};

// Files made by ffmpeg are read as 16-bit PCM at their own rate and channel count, with exactly
// the samples ffmpeg decodes, within one frame of the length ffprobe reports, time stamps in
// order, and one end-of-file status after the last sample.
TEST_P(WmaReaderSource, ReadsWhatFfmpegWrote) {
    const Source s = GetParam();
    ScratchDir dir;
    const std::string in = dir / "in.wma";
    MakeTone(in, s.rate, s.channels, 1.3, std::string("-c:a ") + s.codec + " -b:a 64k");
    RecordingCallback callback;
    const ReadResult r = ReadWma(in, callback);
    ASSERT_TRUE(r.created);
    EXPECT_EQ(uint32_t{r.format.wFormatTag}, WAVE_FORMAT_PCM);
    EXPECT_EQ(uint32_t{r.format.wBitsPerSample}, 16u);
    EXPECT_EQ(uint32_t{r.format.nSamplesPerSec}, uint32_t(s.rate));
    EXPECT_EQ(int{r.format.nChannels}, s.channels);
    ASSERT_EQ(callback.statuses, std::vector<uint32_t>{WMA_STATUS_END_OF_FILE});
    EXPECT_FALSE(callback.timeWentBack);
    EXPECT_FALSE(callback.sampleAfterStatus);
    EXPECT_EQ(callback.pcm.size(), DecodeWithFfmpeg(in).size());
    const double probed = std::stod(Probe(in, "format=duration"));
    const double frames = double(callback.pcm.size()) / r.format.nBlockAlign;
    // One frame, plus the millisecond resolution of the container's duration.
    EXPECT_NEAR(frames, probed * s.rate, 2048.0 + s.rate / 1000.0);
    EXPECT_EQ(r.durationResult, S_OK);
    EXPECT_NEAR(r.durationMs, probed * 1000, 1.0);
    EXPECT_LE(callback.lastTimeMs, r.durationMs);
}

INSTANTIATE_TEST_SUITE_P(Codecs, WmaReaderSource,
                         ::testing::Values(Source{"wmav1", 44100, 2}, Source{"wmav2", 44100, 2},
                                           Source{"wmav2", 22050, 1}, Source{"wmav1", 32000, 1},
                                           Source{"wmav2", 48000, 2}, Source{"wmav2", 24000, 2}),
                         [](const auto& info) {
                             return std::string(info.param.codec) + "_" +
                                    std::to_string(info.param.rate) + "Hz" +
                                    std::to_string(info.param.channels) + "ch";
                         });

// A file that is not ASF, ASF without audio, and empty or random files are refused at creation.
TEST(WmaReader, RefusesFilesWithoutAsfAudio) {
    ScratchDir dir;
    MakeTone(dir / "wave.wma", 44100, 2, 0.5, "-f wav");
    Shell("ffmpeg -v error -y -f lavfi -i testsrc=duration=0.5:size=64x48 -c:v wmv2 -f asf " +
          Quote(dir / "video.wma"));
    WriteFile(dir / "empty.wma", "");
    WriteFile(dir / "noise.wma", std::string(5000, '\x5a'));
    for (const char* name : {"wave.wma", "video.wma", "empty.wma", "noise.wma", "absent.wma"}) {
        RecordingCallback callback;
        IWMAudioReader* reader = nullptr;
        EXPECT_NE(Module().createReader((dir / name).c_str(), &callback, &reader, 0), S_OK) << name;
        EXPECT_EQ(reader, nullptr) << name;
        EXPECT_EQ(callback.references, 1u) << name;
    }
}

// Cut short anywhere, a file still ends with one status and never more samples than the whole.
TEST(WmaReader, TruncatedFilesEndCleanly) {
    ScratchDir dir;
    const std::string whole = dir / "whole.wma";
    MakeTone(whole, 44100, 2, 2.0, "-c:a wmav2 -b:a 128k");
    const std::string bytes = ReadFile(whole);
    const size_t fullPcm = DecodeWithFfmpeg(whole).size();
    for (size_t cut : {bytes.size() / 2, bytes.size() - 100, size_t{700}}) {
        const std::string part = dir / "part.wma";
        WriteFile(part, bytes.substr(0, cut));
        RecordingCallback callback;
        const ReadResult r = ReadWma(part, callback);
        if (!r.created)
            continue; // the header itself was cut
        EXPECT_EQ(callback.statuses.size(), 1u) << cut;
        EXPECT_LE(callback.pcm.size(), fullPcm) << cut;
    }
}

// An encryption object in a copy of a file makes the reader refuse its content with the
// protected status and no samples, whatever the object holds: a named protection type, an
// empty one, or the extended object.
TEST(WmaReader, ProtectedContentEndsWithTheNoRightsStatus) {
    ScratchDir dir;
    const std::string plain = dir / "plain.wma";
    Shell("ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a wmav2 -metadata title=protected " +
          Quote(plain));
    const std::string locked = dir / "locked.wma";
    for (const auto& [type, extended] : {std::pair{"DRM", false}, {"", false}, {"", true}}) {
        SCOPED_TRACE(std::string(type) + (extended ? " extended" : ""));
        WriteFile(locked, ProtectedCopy(ReadFile(plain), type, extended));
        RecordingCallback callback;
        const ReadResult r = ReadWma(locked, callback);
        ASSERT_TRUE(r.created);
        EXPECT_EQ(callback.statuses, std::vector<uint32_t>{WMA_STATUS_NO_RIGHTS});
        EXPECT_TRUE(callback.pcm.empty());
    }
}

// Stop returns promptly in the middle of a long file and nothing is delivered afterwards; a
// reader released without being started never calls back.
TEST(WmaReader, StopEndsDeliveryAtOnce) {
    ScratchDir dir;
    const std::string in = dir / "long.wma";
    MakeTone(in, 44100, 2, 60, "-c:a wmav2 -b:a 64k");
    RecordingCallback callback;
    IWMAudioReader* raw = nullptr;
    ASSERT_EQ(Module().createReader(in.c_str(), &callback, &raw, 0), S_OK);
    Ref<IWMAudioReader> reader(raw);
    ASSERT_EQ(reader->Start(), S_OK);
    ASSERT_TRUE(callback.WaitForSamples());
    EXPECT_EQ(reader->Stop(), S_OK); // returns once the reader's thread has ended
    const size_t delivered = callback.pcm.size();
    EXPECT_GT(delivered, 0u);
    EXPECT_TRUE(callback.statuses.empty());
    EXPECT_LT(delivered, size_t{60} * 44100 * 4);
    reader.reset();
    EXPECT_EQ(callback.references, 1u); // the reader gave back its reference

    RecordingCallback idle;
    ASSERT_EQ(Module().createReader(in.c_str(), &idle, &raw, 0), S_OK);
    raw->Release();
    EXPECT_TRUE(idle.statuses.empty());
    EXPECT_EQ(idle.references, 1u);
}

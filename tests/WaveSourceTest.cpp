#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "WaveTestSupport.h"
#include "sources/OpenAudioSource.h"
#include "sources/WaveSource.h"

using namespace wavetest;

namespace {

const WAVEFORMATEX Mono8 = MakePcmFormat(1, 8000, 8);
const WAVEFORMATEX Stereo16 = MakePcmFormat(2, 44100, 16);

class WaveSourceTest : public ::testing::Test {
protected:
    void SetUp() override { UseWaveOutput(row, Output(), Stereo16); }
    std::string Input() const { return dir / "in.wav"; }
    std::string Output() const { return dir / "out.wav"; }

    // Opens the input through the factory and pumps it dry; returns the code and Pump count.
    ConversionError Convert(const std::string& bytes, int* pumps = nullptr,
                            int32_t progress[2] = nullptr) {
        WriteFile(Input(), bytes);
        ConversionError code = ConversionError::ceMemory;
        row.ClearResult();
        auto source = OpenAudioSource(Input().c_str(), row.Context(), code);
        EXPECT_NE(source, nullptr);
        int count = 0;
        while (source && count < 1000 && source->Pump())
            ++count;
        if (pumps)
            *pumps = count + 1;
        if (progress && source)
            source->GetProgress(progress);
        return code;
    }

    std::string OutputData() const { return ReadFile(Output()).substr(46); }

    TestFolder dir;
    TestRow row;
};

std::string Samples(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

} // namespace

TEST_F(WaveSourceTest, UnreadableHeadersGiveTheReadErrorLineAndNoOutput) {
    const std::string fmt = Chunk("fmt ", FmtPayload(Stereo16));
    WAVEFORMATEX noAlign = Stereo16;
    noAlign.nBlockAlign = 0;
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"eleven bytes", PcmWave(Stereo16, "abcd").substr(0, 11)},
        {"not RIFF", std::string("\xFF\xFB\x90\x64", 4) + Samples(2000)},
        {"no data", Riff(fmt)},
        {"PCM without block size", PcmWave(noAlign, "abcd")},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        row.output = dir / (std::string(name) + ".wav");
        int pumps = 0;
        EXPECT_EQ(Convert(bytes, &pumps), ConversionError::ceRead);
        EXPECT_EQ(pumps, 1);
        EXPECT_FALSE(std::filesystem::exists(row.output));
    }
    ConversionError code = ConversionError::ceNone;
    WaveSource missing((dir / "missing.wav").c_str(), row.Context(), code);
    EXPECT_EQ(code, ConversionError::ceRead);
    EXPECT_FALSE(missing.Pump());
    EXPECT_EQ(ConversionErrorLine(code, Input()), "Unable to read from '" + Input() + "'.");
}

TEST_F(WaveSourceTest, FormatsNoDecoderKnowsGiveTheCodecLine) {
    WAVEFORMATEX unknown{0x7A7A, 2, 44100, 176400, 4, 16, 0};
    EXPECT_EQ(Convert(Riff(Chunk("fmt ", FmtPayload(unknown, {}, true)) + Chunk("data", "abcd"))),
              ConversionError::ceCodec);
    EXPECT_FALSE(std::filesystem::exists(Output()));
    // An extra-byte count far beyond its chunk is cut to the chunk; the decoder decides.
    WAVEFORMATEX ima{WAVE_FORMAT_IMA_ADPCM, 1, 8000, 4055, 256, 4, 3000};
    const ConversionError code =
        Convert(Riff(Chunk("fmt ", FmtPayload(ima, U16(505))) + Chunk("data", Samples(1024))));
    EXPECT_TRUE(code == ConversionError::ceCodec || code == ConversionError::ceNone);
}

TEST_F(WaveSourceTest, PcmPassesThroughUnchangedAcrossOddChunks) {
    UseWaveOutput(row, Output(), Mono8);
    const std::string samples = Samples(8000 * 3 + 5);
    int pumps = 0;
    int32_t progress[2] = {};
    const std::string file = Riff(Chunk("LIST", "abc") + Chunk("fmt ", FmtPayload(Mono8)) +
                                  Chunk("data", samples) + Chunk("junk", "x"));
    EXPECT_EQ(Convert(file, &pumps, progress), ConversionError::ceNone);
    EXPECT_EQ(pumps, 2); // three seconds per block
    EXPECT_TRUE(OutputData() == samples);
    EXPECT_EQ(progress[0], 8000 * 3 + 5);
    EXPECT_EQ(progress[1], progress[0]);
}

TEST_F(WaveSourceTest, ExactlyThreeSecondsIsOneBlock) {
    UseWaveOutput(row, Output(), Mono8);
    int pumps = 0;
    EXPECT_EQ(Convert(PcmWave(Mono8, Samples(24000)), &pumps), ConversionError::ceNone);
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(OutputData().size(), 24000u);
}

TEST_F(WaveSourceTest, AnEmptyDataChunkDeliversNothing) {
    int pumps = 0;
    EXPECT_EQ(Convert(PcmWave(Stereo16, ""), &pumps), ConversionError::ceNone);
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(ReadFile(Output()).size(), 46u);
}

TEST_F(WaveSourceTest, ADataChunkLongerThanTheFileDeliversWhatTheFileHolds) {
    const std::string samples = Samples(1001 * 4 + 3); // and a partial frame at the end
    std::string file = Riff(Chunk("fmt ", FmtPayload(Stereo16)) + Chunk("data", samples, false));
    file.replace(40, 4, U32(1000000));
    int32_t progress[2] = {};
    EXPECT_EQ(Convert(file, nullptr, progress), ConversionError::ceNone);
    EXPECT_TRUE(OutputData() == samples.substr(0, 1001 * 4));
    EXPECT_EQ(progress[0], 1001 * 4);
    EXPECT_EQ(progress[1], 1001 * 4);
    EXPECT_FALSE(row.result.WriteError);
    // The file is not what its header says: it must not pass as converted.
    EXPECT_EQ(row.result.InputError, ConversionError::ceRead);
}

// Metadata chunks of any size before the audio, the 64-bit forms, and sizes a streaming recorder
// left open: all read to the last sample, without an error.
TEST_F(WaveSourceTest, ChunksOfAnySizeAndOpenSizesAreRead) {
    const std::string samples = Samples(4000 * 4);
    const std::string fmt = Chunk("fmt ", FmtPayload(Stereo16));
    const std::string ds64 = U32(0) + U32(0) + U32(samples.size()) + U32(0) + U32(1000) + U32(0) +
                             U32(0); // RIFF size left 0: the file's end counts
    auto sized = [](std::string file, uint32_t riff, uint32_t data) {
        file.replace(4, 4, U32(riff));
        file.replace(file.size() - 4 * 4000 - 4, 4, U32(data));
        return file;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"200 KB LIST first",
         Riff(Chunk("LIST", std::string(200000, 'l')) + fmt + Chunk("data", samples))},
        {"id3 picture",
         Riff(fmt + Chunk("id3 ", std::string(300001, 'p')) + Chunk("data", samples))},
        {"RF64", "RF64" + U32(0xFFFFFFFF) + "WAVE" + Chunk("ds64", ds64) + fmt +
                     Chunk("data", samples).replace(4, 4, U32(0xFFFFFFFF))},
        {"BW64", "BW64" + U32(0xFFFFFFFF) + "WAVE" + Chunk("ds64", ds64) + fmt +
                     Chunk("data", samples).replace(4, 4, U32(0xFFFFFFFF))},
        {"RIFF and data size 0", sized(Riff(fmt + Chunk("data", samples)), 0, 0)},
        {"all ones", sized(Riff(fmt + Chunk("data", samples)), 0xFFFFFFFF, 0xFFFFFFFF)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Convert(bytes), ConversionError::ceNone);
        EXPECT_EQ(row.result.InputError, ConversionError::ceNone);
        EXPECT_TRUE(OutputData() == samples);
    }
}

namespace {
ssize_t FailAfterOneBlock(int fd, void* into, size_t count, off_t offset) {
    if (offset > 3 * 44100 * 4)
        return errno = EIO, -1;
    return ::pread(fd, into, count, offset);
}
} // namespace

// Inputs whose audio cannot be read as their header describes: refused at once where the header
// shows it, else converted as far as they go with the read error raised.
TEST_F(WaveSourceTest, InputsThatCannotBeReadWholeFailWithTheReadLine) {
    WAVEFORMATEX oneHertz = Stereo16;
    oneHertz.nSamplesPerSec = 1;
    const WAVEFORMATEX imaOddBlock{WAVE_FORMAT_IMA_ADPCM, 2, 44100, 44100, 65535, 4, 2};
    const WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 12};
    const std::string mp3Extra = U16(1) + U32(2) + U16(418) + U16(1) + U16(1393);
    struct Case {
        const char* name;
        std::string bytes;
        ConversionError open;
        JobEnvironment::ReadFunction read = ::pread;
    };
    const Case cases[] = {
        {"one hertz", PcmWave(oneHertz, Samples(40000)), ConversionError::ceRead},
        {"IMA block of 65535 bytes",
         Riff(Chunk("fmt ", FmtPayload(imaOddBlock, U16(0))) + Chunk("data", Samples(70000))),
         ConversionError::ceRead},
        {"MP3 frames that are noise",
         Riff(Chunk("fmt ", FmtPayload(mp3, mp3Extra)) + Chunk("data", std::string(50000, '\x11'))),
         ConversionError::ceNone},
        {"a read failing after three seconds", PcmWave(Stereo16, Samples(44100 * 4 * 5)),
         ConversionError::ceNone, FailAfterOneBlock},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        row.environment.Read = c.read;
        EXPECT_EQ(Convert(c.bytes), c.open);
        if (c.open == ConversionError::ceNone) {
            EXPECT_EQ(row.result.InputError, ConversionError::ceRead);
        }
    }
    // A FIFO is never opened: nothing waits for a writer that does not come.
    ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
    ConversionError code = ConversionError::ceNone;
    WaveSource fifo((dir / "fifo.wav").c_str(), row.Context(), code);
    EXPECT_EQ(code, ConversionError::ceRead);
}

TEST_F(WaveSourceTest, ProgressOfAFourGigabyteChunkFitsThirtyTwoBits) {
    std::string head = PcmWave(Stereo16, "");
    head.replace(40, 4, U32(0xFFFFFFF0));
    WriteFile(Input(), head);
    // Sparse: the data chunk is as long as it says without using the disk.
    ASSERT_EQ(::truncate(Input().c_str(), 44 + 0xFFFFFFF0ll), 0);
    ConversionError code = ConversionError::ceMemory;
    auto source = OpenAudioSource(Input().c_str(), row.Context(), code);
    ASSERT_EQ(code, ConversionError::ceNone);
    ASSERT_TRUE(source->Pump());
    int32_t progress[2] = {};
    source->GetProgress(progress);
    EXPECT_EQ(progress[0], 0x7FFFFFF8);
    EXPECT_EQ(progress[1], 3 * 44100 * 4 / 2);
}

TEST_F(WaveSourceTest, AnOutputThatCannotBeCreatedGivesTheDeviceLine) {
    row.output = dir / "missing-folder/out.wav";
    ConversionError code = ConversionError::ceNone;
    {
        WriteFile(Input(), PcmWave(Stereo16, Samples(400)));
        auto source = OpenAudioSource(Input().c_str(), row.Context(), code);
        ASSERT_NE(source, nullptr);
        EXPECT_FALSE(source->Pump());
    }
    EXPECT_EQ(code, ConversionError::ceOutput);
    EXPECT_EQ(ConversionErrorLine(code, Input()), "Device output error for '" + Input() + "'.");
    EXPECT_FALSE(std::filesystem::exists(row.output));
    EXPECT_FALSE(row.result.WriteError);
}

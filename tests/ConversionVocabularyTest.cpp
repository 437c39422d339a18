#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

#include "RowTestSupport.h"

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/ConversionError.h"
#include "engine/ConverterChoices.h"
#include "engine/DestinationSettings.h"
#include "engine/OpenAudioSource.h"
#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/wma/WmaOptions.h"
#include "sinks/OutputSink.h"

TEST(WaveFormat, IsEighteenPackedLittleEndianBytes) {
    WAVEFORMATEX f = MakePcmFormat(2, 44100, 16);
    f.cbSize = 0x1234;
    unsigned char raw[sizeof f];
    std::memcpy(raw, &f, sizeof f);
    const unsigned char expected[18] = {0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10,
                                        0xB1, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x34, 0x12};
    EXPECT_EQ(0, std::memcmp(raw, expected, sizeof expected));
}

TEST(ConversionSettings, StartsWithTheDocumentedValues) {
    ConversionSettings s;
    // The target a new user sees, as the stored choices and the destination start with.
    const uint8_t wave = FindTargetFormat("wav")->Number;
    EXPECT_EQ(s.TargetFormat, wave);
    EXPECT_EQ(ConverterChoices{}.Target, wave);
    EXPECT_EQ(DestinationSettings{}.Target, wave);
    EXPECT_EQ(s.Options.Of(Mp3SampleRateOption), 44100);
    EXPECT_EQ(s.Options.Of(Mp3MonoOption), 0); // stereo
    EXPECT_EQ(s.Options.Of(Mp3BitRateOption), 128);
    // The first quality entry: 160 kbit/s stereo at 44100 Hz.
    const WmaQuality& wma =
        WmaQualities.at(static_cast<std::size_t>(s.Options.Of(WmaQualityOption)));
    EXPECT_EQ(wma.Kbps, 160);
    EXPECT_EQ(wma.SampleRate, 44100);
    EXPECT_EQ(WmaChannels, 2);
    EXPECT_EQ(s.WaveOutputFormat.size(), 5096u);
    const RowResult row;
    EXPECT_FALSE(row.WriteError);
    EXPECT_FALSE(row.ProtectedInput);
    EXPECT_EQ(row.InputError, ConversionError::ceNone);
}

TEST(ConversionError, MessageLinesAreTheFixedTexts) {
    const char* in = "/m/a.wav";
    EXPECT_EQ(ConversionErrorLine(ConversionError::ceNone, in), "");
    EXPECT_EQ(ConversionErrorLine(ConversionError::ceCodec, in),
              "Unable to load CODEC to convert '/m/a.wav'.");
    EXPECT_EQ(ConversionErrorLine(ConversionError::ceRead, in), "Unable to read from '/m/a.wav'.");
    EXPECT_EQ(ConversionErrorLine(ConversionError::ceOutput, in),
              "Device output error for '/m/a.wav'.");
    EXPECT_EQ(ConversionErrorLine(ConversionError::ceMemory, in),
              "Insufficient memory to convert '/m/a.wav'.");
    EXPECT_EQ(WriteErrorLine("/o/a.mp3"), "Unable to write to '/o/a.mp3'.");
    EXPECT_EQ(WriteErrorLine("/o/a.mp3", EROFS),
              "Unable to write to '/o/a.mp3': read-only file system.");
    EXPECT_EQ(WriteErrorLine("/o/a.mp3", 4000), "Unable to write to '/o/a.mp3'."); // no such errno
    EXPECT_EQ(ProtectedInputLine("/m/b.wma"), "Protected WMA file cannot convert '/m/b.wma'.");
    EXPECT_EQ(UnsupportedTypeLine("/m/notes.TXT"),
              "'.TXT' file type is not supported. Error whilst converting '/m/notes.TXT'.");
    EXPECT_EQ(UnsupportedTypeLine("/a.b/README"),
              "'.' file type is not supported. Error whilst converting '/a.b/README'.");
}

TEST(OpenAudioSource, UnknownTypesGetNoSourceAndKeepTheCode) {
    TestRow row;
    ConversionError code = ConversionError::ceMemory;
    EXPECT_EQ(OpenAudioSource("/m/notes.txt", row.Context(), code), nullptr);
    EXPECT_EQ(code, ConversionError::ceMemory);
}

TEST(OutputSink, AnUnknownTargetFormatCreatesNoSink) {
    TestRow row;
    row.settings.TargetFormat = 200;
    ASSERT_EQ(FindTargetFormat(row.settings.TargetFormat), nullptr);
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    bool ok = true;
    OutputSink holder(&pcm, row.Context(), ok);
    EXPECT_FALSE(ok);
    const char data[4] = {};
    EXPECT_FALSE(holder.Write(data, sizeof data));
}

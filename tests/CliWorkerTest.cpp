// What brindlex-convert and its worker processes say to each other: messages whose fields hold any
// bytes, and the job's settings as fields.
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "cli/SettingsFields.h"
#include "cli/WorkerChannel.h"
#include "engine/WaveFormat.h"

TEST(CliWorker, MessagesKeepEveryByteOfTheirFields) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    WorkerChannel parent{UniqueFd(ends[0])};
    WorkerChannel worker{UniqueFd(ends[1])};
    const WorkerChannel::Message file = {"file", "/music/tab\there\nand a line\\n.wav", "",
                                         std::string("nul\0byte", 8)};
    ASSERT_TRUE(parent.Send(file));
    ASSERT_TRUE(parent.Send({"done"}));
    WorkerChannel::Message received;
    ASSERT_TRUE(worker.Receive(received));
    EXPECT_EQ(received, file);
    ASSERT_TRUE(worker.Receive(received));
    EXPECT_EQ(received, WorkerChannel::Message{"done"});

    // A line that is no message is passed over; a message cut in two arrives whole.
    const std::string stream = "bar\\x\nbar\t12";
    ASSERT_EQ(send(ends[1], stream.data(), stream.size(), 0), ssize_t(stream.size()));
    EXPECT_EQ(parent.ReadSome(), WorkerChannel::ReadResult::Data);
    EXPECT_FALSE(parent.Next(received));
    ASSERT_EQ(send(ends[1], "3\n", 2, 0), 2);
    ASSERT_TRUE(parent.Receive(received));
    EXPECT_EQ(received, (WorkerChannel::Message{"bar", "123"}));
    worker.Close();
    EXPECT_FALSE(parent.Receive(received));
    EXPECT_FALSE(parent.Send({"file"}));
}

TEST(CliWorker, SettingsGoOverWholeAndNonsenseIsRefused) {
    ConversionSettings sent;
    sent.TargetFormat = tfWave;
    sent.Mp3SampleRate = 32000;
    sent.Mp3Stereo = false;
    sent.Mp3BitRate = 56;
    sent.WmaBitRate = 36;
    sent.WmaSampleRate = 32000;
    WAVEFORMATEX ima = MakePcmFormat(1, 22050, 4);
    ima.wFormatTag = 0x11;
    ima.cbSize = 2;
    std::memcpy(sent.WaveOutputFormat.data(), &ima, sizeof ima);
    sent.WaveOutputFormat[sizeof ima] = 0xf9; // samples per block, the extra bytes
    sent.WaveOutputFormat[sizeof ima + 1] = 0x03;

    ConversionSettings got;
    ASSERT_TRUE(ApplySettingsFields(SettingsFields(sent), got));
    EXPECT_EQ(got.TargetFormat, tfWave);
    EXPECT_EQ(got.Mp3SampleRate, 32000);
    EXPECT_FALSE(got.Mp3Stereo);
    EXPECT_EQ(got.Mp3BitRate, 56);
    EXPECT_EQ(got.WmaBitRate, 36);
    EXPECT_EQ(got.WmaSampleRate, 32000);
    EXPECT_EQ(got.WaveOutputFormat, sent.WaveOutputFormat);

    std::vector<std::string> fields = SettingsFields(sent);
    fields.back() += "g0"; // not hexadecimal
    EXPECT_FALSE(ApplySettingsFields(fields, got));
    fields.pop_back();
    EXPECT_FALSE(ApplySettingsFields(fields, got));
    EXPECT_EQ(got.Mp3BitRate, 56); // unchanged by a refused message
}

// What brindlex-convert and its worker processes say to each other: messages whose fields hold any
// bytes, the job's settings as fields, and what a worker does with the file it is given.
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "CliTestSupport.h"
#include "catalog/FormatTable.h"
#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/wma/WmaOptions.h"
#include "jobs/SettingsFields.h"
#include "jobs/WorkerChannel.h"
#include "jobs/WorkerProcess.h"

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
    const uint8_t wave = FindTargetFormat("wav")->Number;
    ConversionSettings sent;
    sent.TargetFormat = wave;
    sent.Options.Set(Mp3SampleRateOption, 32000);
    sent.Options.Set(Mp3MonoOption, 1);
    sent.Options.Set(Mp3BitRateOption, 56);
    sent.Options.Set(WmaQualityOption, 7); // 36 kbit/s at 32000 Hz
    sent.CopyTags = false;
    WAVEFORMATEX ima = MakePcmFormat(1, 22050, 4);
    ima.wFormatTag = 0x11;
    ima.cbSize = 2;
    std::memcpy(sent.WaveOutputFormat.data(), &ima, sizeof ima);
    sent.WaveOutputFormat[sizeof ima] = 0xf9; // samples per block, the extra bytes
    sent.WaveOutputFormat[sizeof ima + 1] = 0x03;

    ConversionSettings got;
    ASSERT_TRUE(ApplySettingsFields(SettingsFields(sent), got));
    EXPECT_EQ(got.TargetFormat, wave);
    EXPECT_EQ(got.Options.Of(Mp3SampleRateOption), 32000);
    EXPECT_EQ(got.Options.Of(Mp3MonoOption), 1);
    EXPECT_EQ(got.Options.Of(Mp3BitRateOption), 56);
    EXPECT_EQ(got.Options.Of(WmaQualityOption), 7);
    EXPECT_EQ(got.WaveOutputFormat, sent.WaveOutputFormat);
    EXPECT_FALSE(got.CopyTags);

    std::vector<std::string> fields = SettingsFields(sent);
    fields[1] += "g0"; // the WAVE output format, not hexadecimal
    EXPECT_FALSE(ApplySettingsFields(fields, got));
    fields = SettingsFields(sent);
    fields.back() = "2"; // tags copied or not, nothing else
    EXPECT_FALSE(ApplySettingsFields(fields, got));
    fields.pop_back();
    EXPECT_FALSE(ApplySettingsFields(fields, got));
    EXPECT_EQ(got.Options.Of(Mp3BitRateOption), 56); // unchanged by a refused message
}

namespace {
// The worker's messages about one file, up to and with "done".
std::vector<WorkerChannel::Message> UntilDone(WorkerChannel& channel) {
    std::vector<WorkerChannel::Message> messages;
    WorkerChannel::Message message;
    while (channel.Receive(message)) {
        messages.push_back(message);
        if (message.front() == "done") {
            break;
        }
    }
    return messages;
}

bool Has(const std::vector<WorkerChannel::Message>& messages, const WorkerChannel::Message& one) {
    return std::find(messages.begin(), messages.end(), one) != messages.end();
}
} // namespace

TEST(CliWorker, AWorkerReplacesOnlyWhatItIsLetAndNamesWhatItWouldLeaveBehind) {
    TestFolder dir;
    const std::string in = dir / "in.wav";
    clitest::Shell("sox -q -n -r 44100 -c 2 -b 16 " + clitest::Quote(in) + " synth 0.2 sine 440");
    const std::string found = dir / "found.wav";
    WriteTextFile(found, "THEIRS");
    std::string problem;
    const auto worker = WorkerProcess::Start(clitest::ConverterPath(), problem);
    ASSERT_TRUE(worker) << problem;
    ConversionSettings settings;
    settings.TargetFormat = FindTargetFormat("wav")->Number;
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &pcm, sizeof pcm);
    std::vector<std::string> message = SettingsFields(settings);
    message.insert(message.begin(), "settings");
    ASSERT_TRUE(worker->Channel().Send(message));

    // A file at the output that the parent did not let it replace is kept.
    ASSERT_TRUE(worker->Channel().Send({"file", in, found, "keep"}));
    auto reports = UntilDone(worker->Channel());
    EXPECT_TRUE(Has(reports, {"line", "'" + found +
                                          "' appeared after the outputs were checked and was not "
                                          "replaced; '" +
                                          in + "' was not converted."}));
    EXPECT_EQ(reports.back(), (WorkerChannel::Message{"done", "failed"}));
    EXPECT_EQ(ReadTextFile(found), "THEIRS");

    ASSERT_TRUE(worker->Channel().Send({"file", in, found, "replace"}));
    EXPECT_EQ(UntilDone(worker->Channel()).back(), (WorkerChannel::Message{"done", "converted"}));
    EXPECT_EQ(clitest::SoxSamples(found), clitest::SoxSamples(in));

    // A new output is written without a name: should the worker die, nothing is left to remove.
    const std::string fresh = dir / "fresh.wav";
    ASSERT_TRUE(worker->Channel().Send({"file", in, fresh, "keep"}));
    reports = UntilDone(worker->Channel());
    EXPECT_TRUE(Has(reports, {"writes", ""}));
    EXPECT_EQ(reports.back(), (WorkerChannel::Message{"done", "converted"}));
    EXPECT_FALSE(worker->Channel().Send({"file", in, fresh}) &&
                 worker->Channel().Receive(message)); // a message it cannot take ends it
}

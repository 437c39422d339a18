// What brindlex-convert and its worker processes say to each other: messages whose fields hold any
// bytes, the job's settings as fields, and what a worker does with the file it is given.
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "CliTestSupport.h"
#include "MeasuringObserver.h"
#include "RowTestSupport.h"
#include "TargetNumbers.h"
#include "catalog/FormatTable.h"
#include "engine/OpenAudioSource.h"
#include "engine/RowConverter.h"
#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/wma/WmaOptions.h"
#include "jobs/JobController.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/SettingsFields.h"
#include "jobs/ThreadRunner.h"
#include "jobs/ValueFields.h"
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
    sent.CoverSize = 600;
    sent.CoverFiles = {"Folder.JPG", "a\tcover\n.png"};
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
    EXPECT_EQ(got.CoverSize, 600u);
    EXPECT_EQ(got.CoverFiles, sent.CoverFiles);

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

// The event that ends the row the runner converts on its one slot.
RowEvent UntilEnded(JobRunner& runner) {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    const UniqueFd wake(ends[0]), unused(ends[1]);
    while (runner.Busy()) {
        for (RowEvent& event : runner.Wait(wake.Get(), nullptr)) {
            if (event.What == RowEvent::Kind::Done) {
                return event;
            }
        }
    }
    ADD_FAILURE() << "the row never ended";
    return {};
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

TEST(CliWorker, ValuesMeasuredInAWorkerComeBackAsIfMeasuredHere) {
    TestFolder dir;
    const std::string in = dir / "in.wav";
    clitest::Shell("sox -q -n -r 32000 -c 2 -b 16 " + clitest::Quote(in) +
                   " synth 0.5 sine 440 sine 660 gain -3");
    ConversionSettings settings;
    settings.TargetFormat = tfFlac;
    std::string problem;

    ProcessPoolRunner pool(std::string(BMC_BINARY_DIR) + "/brindlex-convert-measuring", settings,
                           1);
    ASSERT_TRUE(pool.Start(problem)) << problem;
    ASSERT_TRUE(pool.Begin(0, {in, dir / "there.flac", false}, problem));
    const RowEvent there = UntilEnded(pool);

    TestRow row;
    row.environment.Observers = MeasuringObserver::Factory();
    RowConverter converter(settings, row.environment, OpenAudioSource);
    ThreadRunner runner(converter);
    ASSERT_TRUE(runner.Begin(0, {in, dir / "here.flac", false}, problem));
    const RowEvent here = UntilEnded(runner);

    EXPECT_EQ(there.Outcome, RowOutcome::Converted);
    EXPECT_EQ(here.Outcome, RowOutcome::Converted);
    EXPECT_EQ(there.Values.at("frames"), 16000.0);
    EXPECT_EQ(there.Values.at("channels"), 2.0);
    EXPECT_EQ(there.Values.at("rate"), 32000.0);
    EXPECT_GT(there.Values.at("energy"), 1000.0);
    EXPECT_EQ(there.Values, here.Values); // every double to the last bit
}

namespace {
class SilentObserver final : public JobObserver {
public:
    void RowStarted(std::size_t, std::size_t) override {}
    void Progress(const JobProgress&) override {}
    void Cancelling() override {}
};
} // namespace

// A job's result gives each row's values in the order of its rows, whichever worker converted
// it; a row whose audio was never seen has none.
TEST(CliWorker, AJobGivesEachRowItsOwnValues) {
    TestFolder dir;
    const std::string longer = dir / "longer.wav", broken = dir / "broken.wav",
                      shorter = dir / "shorter.wav";
    clitest::Shell("sox -q -n -r 8000 -c 1 -b 16 " + clitest::Quote(longer) + " synth 2 sine 440");
    clitest::Shell("sox -q -n -r 16000 -c 2 -b 16 " + clitest::Quote(shorter) +
                   " synth 0.25 sine 440");
    WriteTextFile(broken, "RIFF, but no wave in it");
    ConversionSettings settings;
    settings.TargetFormat = tfFlac;
    ProcessPoolRunner pool(std::string(BMC_BINARY_DIR) + "/brindlex-convert-measuring", settings,
                           2);
    std::string problem;
    ASSERT_TRUE(pool.Start(problem)) << problem;
    const auto row = [&](const std::string& input, const std::string& output) {
        return PlannedRow{input, dir / output, false, std::nullopt};
    };
    JobController job({row(longer, "1.flac"), row(broken, "2.flac"), row(shorter, "3.flac")},
                      ReplaceableOutputs({}, true), false);
    SilentObserver observer;

    const JobResult result = job.Run(pool, observer);

    EXPECT_EQ(result.Converted, 2u);
    ASSERT_EQ(result.Values.size(), 3u);
    EXPECT_EQ(result.Values[0].at("frames"), 16000.0);
    EXPECT_EQ(result.Values[0].at("rate"), 8000.0);
    EXPECT_TRUE(result.Values[1].empty());
    EXPECT_EQ(result.Values[2].at("frames"), 4000.0);
    EXPECT_EQ(result.Values[2].at("channels"), 2.0);
}

// Values travel after the outcome as name and number; an older "done" has none.
TEST(CliWorker, ValueFieldsGiveBackTheSameDoubles) {
    const RowValues sent{{"gain\tab", -6.020599913279624},
                         {"peak", 0.1},
                         {"tiny", 5e-324},
                         {"huge", 1.7976931348623157e308}};
    std::vector<std::string> fields{"done", "converted"};
    AppendValueFields(sent, fields);
    EXPECT_EQ(fields.size(), 2 + 2 * sent.size());
    EXPECT_EQ(ValuesFromFields(fields.begin() + 2, fields.end()), sent);
    fields.insert(fields.end(), {"broken", "1.5x", "odd"});
    EXPECT_EQ(ValuesFromFields(fields.begin() + 2, fields.end()), sent);
    EXPECT_TRUE(ValuesFromFields(fields.end(), fields.end()).empty());
}

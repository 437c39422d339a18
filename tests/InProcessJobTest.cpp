// A job converted inside this process, one file after another: the controller, the thread runner
// and the row converter around sources that only pretend to convert.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <thread>

#include "TargetNumbers.h"
#include "engine/JobPlan.h"
#include "engine/ProgressFigures.h"
#include "engine/RowConverter.h"
#include "jobs/JobController.h"
#include "jobs/ThreadRunner.h"
#include "system/CodecModules.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const fs::path& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

// What the job showed, as a window would draw it: each state of the bars once, in order.
class RecordingObserver final : public JobObserver {
public:
    explicit RecordingObserver(const std::vector<PlannedRow>& rows) : rows_(rows) {}

    void RowStarted(std::size_t, std::size_t row) override {
        writing.push_back("Writing '" + rows_[row].Output + "'");
    }
    void Progress(const JobProgress& p) override {
        const std::string counter =
            "Converted " + std::to_string(p.Settled) + " of " + std::to_string(p.Rows);
        if (counters.empty() || counters.back() != counter) {
            counters.push_back(counter);
        }
        const double percent = p.Lead ? p.Slots[*p.Lead].Percent : 0;
        const std::pair<int32_t, int32_t> bar{
            ClampBarWidth(FileBarWidth(percent)),
            ClampBarWidth(TotalBarWidth(p.BytesDone, p.BytesTotal))};
        if (bars.empty() || bars.back() != bar) {
            bars.push_back(bar);
        }
        if (p.SecondsLeft && (times.empty() || times.back() != TimeRemainingText(*p.SecondsLeft))) {
            times.push_back(TimeRemainingText(*p.SecondsLeft));
        }
    }
    void Cancelling() override { cancelling = true; }

    std::vector<std::string> counters, writing, times;
    std::vector<std::pair<int32_t, int32_t>> bars; // (file, total)
    std::atomic<bool> cancelling = false;

private:
    const std::vector<PlannedRow>& rows_;
};

// What each fake source does; the fake stands in for a real source and its sink.
struct Script {
    int pumps = 3;
    uint32_t msPerPump = 0;
    std::function<void(int32_t[2], int)> progress = [](int32_t p[2], int k) {
        p[0] = 10, p[1] = k;
    };
    std::function<void(int)> onPump = [](int) {};
    ConversionError code = ConversionError::ceNone;
    bool writeError = false;
    bool protectedInput = false;
    ConversionError inputError = ConversionError::ceNone;
};

class FakeSource : public AudioSource {
public:
    FakeSource(const RowContext& row, ConversionError& code, Script& script,
               std::atomic<uint32_t>& clock)
        : script_(script), clock_(clock), result_(row.Result),
          out_(row.OutputPath, std::ios::binary) {
        code = out_ ? script.code : ConversionError::ceOutput;
        out_ << "HEAD";
        out_.flush();
    }
    ~FakeSource() override {
        out_ << "END";
        out_.close();
        result_.WriteError = result_.WriteError || script_.writeError;
        result_.ProtectedInput = script_.protectedInput;
        result_.InputError = script_.inputError;
    }
    bool Pump() override {
        ++pumped_;
        clock_ += script_.msPerPump;
        out_ << "DATA";
        out_.flush();
        script_.onPump(pumped_);
        return pumped_ < script_.pumps;
    }
    void GetProgress(int32_t progress[2]) override { script_.progress(progress, pumped_); }

private:
    Script& script_;
    std::atomic<uint32_t>& clock_;
    RowResult& result_;
    std::ofstream out_;
    int pumped_ = 0;
};

class InProcessJob : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/bmc-job-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Input(const std::string& name, std::size_t size) {
        const fs::path path = dir / name;
        WriteAll(path, std::string(size, 'i'));
        inputs.push_back(path.string());
        return path;
    }

    RowConverter::SourceFactory Factory() {
        return [this](const char* path, const RowContext& row,
                      ConversionError& code) -> std::unique_ptr<AudioSource> {
            if (std::string(path).ends_with(".txt")) {
                return nullptr;
            }
            ++opened;
            if (openHook) {
                openHook(opened);
            }
            return std::make_unique<FakeSource>(row, code, script, clock);
        };
    }

    // Plans the inputs and converts them; every existing output may be replaced unless listed.
    JobResult Run() {
        const JobPlan plan(inputs, destination, renames);
        const std::vector<std::string> listed(replaceable.begin(), replaceable.end());
        RowConverter converter(settings, environment, Factory(), [this] { return clock.load(); });
        ThreadRunner runner(converter);
        JobController job(plan.Rows(), ReplaceableOutputs(listed, replaceable.empty()), false,
                          [this] { return clock.load(); });
        observer = std::make_unique<RecordingObserver>(plan.Rows());
        controller = &job;
        const JobResult result = job.Run(runner, *observer);
        controller = nullptr;
        return result;
    }

    // Cancels the job from the converting thread at the nth pump of a file.
    void CancelAtPump(int n) {
        script.onPump = [this, n](int k) {
            if (k == n) {
                controller->Cancel();
            }
            // The cancel travels through the controller's thread; later pumps wait for it
            // so that a loaded machine cannot let the file run to its end first.
            while (k > n && !observer->cancelling) {
                std::this_thread::yield();
            }
        };
    }

    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (entry.path().filename().string().starts_with("BRC")) {
                found.push_back(entry.path().filename());
            }
        }
        return found;
    }

    fs::path dir;
    std::vector<std::string> inputs;
    DestinationSettings destination = DestinationSettings::NextToInputs(tfWave);
    RenameTable renames;
    std::set<std::string> replaceable; // empty: every output may be replaced
    ConversionSettings settings;
    CodecModules codecs{{}};
    const JobEnvironment environment{codecs, ::pread, ""};
    Script script;
    int opened = 0;
    std::function<void(int)> openHook;
    std::atomic<uint32_t> clock = 100000;
    std::unique_ptr<RecordingObserver> observer;
    JobController* controller = nullptr;
};

} // namespace

TEST_F(InProcessJob, AnEmptyListTouchesNothingAndEndsFull) {
    const JobResult result = Run();
    EXPECT_EQ(observer->counters, std::vector<std::string>{"Converted 0 of 0"});
    EXPECT_TRUE(observer->writing.empty());
    EXPECT_TRUE(result.Lines.empty());
    EXPECT_EQ(observer->bars.back().second, 259);
}

TEST_F(InProcessJob, ShowsCounterOutputAndBarsInOrder) {
    const fs::path a = Input("a.wav", 1000);
    Input("b.mp3", 3000);
    script.pumps = 2;
    script.msPerPump = 600; // every pump is past the 500 ms interval
    script.progress = [](int32_t p[2], int k) { p[0] = 2, p[1] = k; };
    const JobResult result = Run();

    EXPECT_EQ(observer->counters, (std::vector<std::string>{"Converted 0 of 2", "Converted 1 of 2",
                                                            "Converted 2 of 2"}));
    EXPECT_EQ(observer->writing,
              (std::vector<std::string>{"Writing '" + (dir / "a.wav").string() + "'",
                                        "Writing '" + (dir / "b.wav").string() + "'"}));
    // Half of the first of 1000 + 3000 bytes, the first file whole, half of the second, all.
    EXPECT_EQ(observer->bars, (std::vector<std::pair<int32_t, int32_t>>{
                                  {0, 0}, {129, 31}, {0, 64}, {129, 160}, {0, 259}}));
    EXPECT_EQ(ProgressTitle(31), "BMC 11% Converted");
    EXPECT_TRUE(observer->times.empty()); // 1.2 s of job: no estimate yet
    EXPECT_TRUE(result.Lines.empty());
    EXPECT_EQ(result.Converted, 2u);
    EXPECT_EQ(ReadAll(dir / "b.wav"), "HEADDATADATAEND");
    EXPECT_EQ(ReadAll(a), "HEADDATADATAEND"); // same type, same folder: replaced
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, ProgressAtMostEveryHalfSecondAndTimeOnlyAfterFiveSeconds) {
    Input("a.wav", 1000);
    Input("b.wav", 3000);
    destination = DestinationSettings::Into((dir / "out").string(), tfWave);
    fs::create_directory(dir / "out");
    script.pumps = 10;
    script.msPerPump = 1000;
    Run();
    // The estimate starts once more than 5000 ms have passed (pump 6: 6 s for 600 bytes).
    ASSERT_FALSE(observer->times.empty());
    EXPECT_EQ(observer->times.front(), "Time Remaining : 0:00.34"); // 6 * 3400 / 600

    inputs.clear();
    Input("c.wav", 100);
    script.msPerPump = 250; // two pumps per interval
    Run();
    // Pumps at 250 and 500 ms (not more than 500) are not shown, 750 is; then every third.
    std::set<int32_t> fileBars;
    for (const auto& [file, total] : observer->bars) {
        fileBars.insert(file);
    }
    EXPECT_EQ(fileBars, (std::set<int32_t>{0, 77, 155, 233})); // 30, 60 and 90 %
}

TEST_F(InProcessJob, FailedFilesGetOneLineAndStillCount) {
    const fs::path notes = Input("notes.txt", 2000);
    const fs::path bad = Input("bad.wav", 1000);
    Input("good.wav", 1000);
    fs::create_directory(dir / "out");
    destination = DestinationSettings::Into((dir / "out").string(), tfWave);
    WriteAll(dir / "out" / "bad.wav", "OLD");
    script.pumps = 2;
    script.msPerPump = 600;
    script.progress = [](int32_t p[2], int) { p[0] = 1, p[1] = 0; };
    openHook = [this](int n) {
        script.code = n == 1 ? ConversionError::ceRead : ConversionError::ceNone;
    };
    const JobResult result = Run();
    EXPECT_EQ(result.Lines, (std::vector<std::string>{
                                "'.txt' file type is not supported. Error whilst converting '" +
                                    notes.string() + "'.",
                                "Unable to read from '" + bad.string() + "'."}));
    EXPECT_EQ(result.Failed, 2u);
    EXPECT_EQ(result.Converted, 1u);
    EXPECT_EQ(ReadAll(dir / "out" / "bad.wav"), "OLD"); // nothing put in place after a failed open
    // The failed files' 3000 bytes are done when the third file starts.
    EXPECT_NE(std::find(observer->bars.begin(), observer->bars.end(), std::make_pair(0, 194)),
              observer->bars.end()); // 75 % of 259
    EXPECT_EQ(ReadAll(dir / "out" / "good.wav"), "HEADDATADATAEND");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, AnExistingOutputIsReplacedOnlyWhenComplete) {
    const fs::path x = Input("x.wav", 10);
    WriteAll(x, "ORIGINAL");
    fs::permissions(x, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> seen;
    script.pumps = 3;
    script.onPump = [&](int) { seen.push_back(ReadAll(x) + std::to_string(Leftovers().size())); };
    const JobResult result = Run();
    // While converting, the input (also the output) stayed whole, and the new version had no
    // name that a killed process could leave behind; then it replaced the old one at once.
    EXPECT_EQ(seen, std::vector<std::string>(3, "ORIGINAL0"));
    EXPECT_EQ(ReadAll(x), "HEADDATADATADATAEND");
    EXPECT_EQ(fs::status(x).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(result.Lines.empty());
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, AFileNobodyAgreedToReplaceIsKept) {
    const fs::path a = Input("a.mp3", 10);
    Input("b.mp3", 10);
    Input("c.mp3", 10);
    replaceable = {(dir / "listed.wav").string()};
    WriteAll(dir / "a.wav", "THEIRS"); // appeared after the outputs were listed
    fs::create_symlink(dir / "elsewhere.wav", dir / "c.wav");
    JobResult result = Run();
    const auto unexpected = [&](const fs::path& output, const fs::path& input) {
        return "'" + output.string() +
               "' appeared after the outputs were checked and was not replaced; '" +
               input.string() + "' was not converted.";
    };
    EXPECT_EQ(result.Lines, (std::vector<std::string>{unexpected(dir / "a.wav", a),
                                                      unexpected(dir / "c.wav", dir / "c.mp3")}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "THEIRS");
    EXPECT_EQ(ReadAll(dir / "b.wav"), "HEADDATADATADATAEND");
    // A link, even a dangling one, is an existing output: nothing is written through it.
    EXPECT_TRUE(fs::is_symlink(dir / "c.wav"));
    EXPECT_FALSE(fs::exists(dir / "elsewhere.wav"));

    replaceable.clear(); // every output may be replaced
    inputs = {(dir / "c.mp3").string()};
    result = Run();
    EXPECT_TRUE(result.Lines.empty());
    EXPECT_FALSE(fs::is_symlink(dir / "c.wav")); // the link itself was replaced
    EXPECT_EQ(ReadAll(dir / "c.wav"), "HEADDATADATADATAEND");
    EXPECT_FALSE(fs::exists(dir / "elsewhere.wav"));
}

TEST_F(InProcessJob, RenamedOutputsGoToTheirNewNames) {
    Input("song.wav", 10);
    WriteAll(dir / "song.wma", "OLD");
    destination.Target = tfWMA;
    renames.Fill({{(dir / "SONG.WMA").string(), (dir / "never.wma").string()},
                  {(dir / "song.wma").string(), (dir / "song (2).wma").string()}});
    Run();
    EXPECT_EQ(observer->writing.front(), "Writing '" + (dir / "song (2).wma").string() + "'");
    EXPECT_EQ(ReadAll(dir / "song.wma"), "OLD");
    EXPECT_EQ(ReadAll(dir / "song (2).wma"), "HEADDATADATADATAEND");
}

TEST_F(InProcessJob, WriteFailuresLeaveTheOldOutputAndReportTheDestination) {
    const fs::path in = Input("a.mp3", 10);
    Input("b.mp3", 10);
    WriteAll(dir / "a.wav", "OLD");
    script.writeError = true;
    script.protectedInput = true;
    const JobResult result = Run();
    EXPECT_EQ(result.Lines,
              (std::vector<std::string>{"Unable to write to '" + (dir / "a.wav").string() + "'.",
                                        "Protected WMA file cannot convert '" + in.string() + "'.",
                                        "Unable to write to '" + (dir / "b.wav").string() + "'.",
                                        "Protected WMA file cannot convert '" +
                                            (dir / "b.mp3").string() + "'."}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "OLD"); // old output untouched
    EXPECT_FALSE(fs::exists(dir / "b.wav"));  // a failed new output leaves nothing at its name
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, InputsThatFailWhileDecodingNeverReplaceAnOldOutput) {
    const fs::path protectedIn = Input("a.wma", 10);
    const fs::path brokenIn = Input("b.wma", 10);
    WriteAll(dir / "a.wav", "OLD A");
    WriteAll(dir / "b.wav", "OLD B");
    openHook = [this](int n) {
        script.protectedInput = n == 1;
        script.inputError = n == 1 ? ConversionError::ceNone : ConversionError::ceRead;
    };
    const JobResult result = Run();
    EXPECT_EQ(result.Lines, (std::vector<std::string>{
                                "Protected WMA file cannot convert '" + protectedIn.string() + "'.",
                                "Unable to read from '" + brokenIn.string() + "'."}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "OLD A");
    EXPECT_EQ(ReadAll(dir / "b.wav"), "OLD B");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, AReplaceThatCannotHappenIsAWriteError) {
    Input("a.mp3", 10);
    fs::create_directory(dir / "a.wav"); // a folder where the output should go
    WriteAll(dir / "a.wav" / "keep", "K");
    const JobResult result = Run();
    EXPECT_EQ(result.Lines,
              std::vector<std::string>{"Unable to write to '" + (dir / "a.wav").string() +
                                       "': is a directory."});
    EXPECT_EQ(ReadAll(dir / "a.wav" / "keep"), "K");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, CancellingDuringAnOverwriteKeepsTheOldFile) {
    Input("x.mp3", 10);
    Input("y.mp3", 10);
    WriteAll(dir / "x.wav", "OLD");
    script.pumps = 100;
    CancelAtPump(2);
    const JobResult result = Run();
    EXPECT_EQ(ReadAll(dir / "x.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "y.wav")); // the job stopped
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(result.Lines, result.NotKept); // the cut row's, not the unstarted one's
    EXPECT_EQ(result.Lines.size(), 1u);
    EXPECT_TRUE(observer->cancelling);
    EXPECT_EQ(result.Stopped, JobResult::Stop::Cancelled);
    EXPECT_EQ(result.Unfinished, 2u);
}

TEST_F(InProcessJob, CancellingDuringANewOutputLeavesNothingAtItsName) {
    Input("x.mp3", 10);
    script.pumps = 100;
    CancelAtPump(3);
    const JobResult result = Run();
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
    const std::vector<std::string> line{"The conversion of '" + inputs[0] + "' to '" +
                                        (dir / "x.wav").string() + "' was cancelled and not kept."};
    EXPECT_EQ(result.Lines, line);
    EXPECT_EQ(result.NotKept, line);
    EXPECT_EQ(result.Converted, 0u);
    EXPECT_EQ(observer->counters.back(), "Converted 0 of 1");
}

TEST_F(InProcessJob, DestroyingARunnerStopsItsRow) {
    Input("x.mp3", 10);
    script.pumps = 1000000;
    {
        RowConverter converter(settings, environment, Factory());
        ThreadRunner runner(converter);
        std::string problem;
        runner.Begin(0, {inputs[0], (dir / "x.wav").string(), true}, problem);
    }
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
}

TEST_F(InProcessJob, AnOutputWrittenEarlierInTheJobIsNeverReplaced) {
    const fs::path wav = Input("x.wav", 10); // its own output: replaced through a temporary file
    const fs::path mp3 = Input("x.mp3", 10);
    const fs::path bad = Input("y.mp3", 10);
    Input("y.wma", 10);
    openHook = [this](int n) {
        // y.mp3 fails to open, so y.wma may still write y.wav; x.mp3 is never opened.
        script.code = n == 2 ? ConversionError::ceRead : ConversionError::ceNone;
        script.pumps = n;
    };
    const JobResult result = Run();
    EXPECT_EQ(result.Lines, (std::vector<std::string>{
                                "'" + wav.string() + "' was already written from '" + wav.string() +
                                    "' in this job; '" + mp3.string() + "' was not converted.",
                                "Unable to read from '" + bad.string() + "'."}));
    EXPECT_EQ(ReadAll(wav), "HEADDATAEND");                   // the first row's result
    EXPECT_EQ(ReadAll(dir / "y.wav"), "HEADDATADATADATAEND"); // written by the fourth row
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(result.Converted, 2u);
    EXPECT_EQ(result.Failed, 2u);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(InProcessJob, AnExceptionStopsTheJobWithALineAndKeepsTheOldOutput) {
    Input("a.mp3", 10);
    const fs::path b = Input("b.mp3", 10);
    Input("c.mp3", 10);
    WriteAll(dir / "b.wav", "OLD");
    openHook = [this](int n) {
        script.onPump = [n](int k) {
            if (n == 2 && k == 2) {
                throw std::bad_alloc();
            }
        };
    };
    const JobResult result = Run();
    EXPECT_EQ(result.Lines,
              std::vector<std::string>{"Insufficient memory to convert '" + b.string() +
                                       "'. The remaining files were not converted."});
    EXPECT_EQ(ReadAll(dir / "b.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "c.wav"));
    EXPECT_EQ(result.Stopped, JobResult::Stop::Failure);
    EXPECT_EQ(result.Converted, 1u);
    EXPECT_EQ(result.Failed, 1u);
    EXPECT_EQ(result.Unfinished, 1u);
    EXPECT_TRUE(Leftovers().empty());
}

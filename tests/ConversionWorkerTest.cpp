#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <thread>

#include "engine/ConversionHost.h"
#include "engine/ConversionSettings.h"
#include "engine/JobPlan.h"
#include "engine/trdConversion.h"
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

// Records every call the worker makes, and checks each happens on the host's thread.
class RecordingHost : public ConversionHost {
public:
    std::vector<std::string> rows;
    DestinationSettings destination{true, "", tfWave};
    RenameTable renames;
    std::set<std::string> replaceable; // empty: every output may be replaced
    std::vector<std::string> counters, writing, times, titles, errors;
    std::vector<std::pair<int32_t, int32_t>> bars; // (file, total) after each title
    int32_t fileBar = -1;
    std::thread::id hostThread = std::this_thread::get_id();
    bool offThread = false;

    uint32_t RowCount() const override { return static_cast<uint32_t>(rows.size()); }
    std::string InputPath(uint32_t row) const override { return rows.at(row); }
    void SelectRow(uint32_t) override { Check(); }
    std::string OutputPath(uint32_t row) const override {
        return JobPlan::OutputOf(rows.at(row), destination, renames);
    }
    bool MayReplace(const std::string& path) const override {
        return replaceable.empty() || replaceable.count(path) != 0;
    }
    void SetCounterText(const std::string& t) override { Check(), counters.push_back(t); }
    void SetWritingText(const std::string& t) override { Check(), writing.push_back(t); }
    void SetTimeRemainingText(const std::string& t) override { Check(), times.push_back(t); }
    void SetFileBarWidth(int32_t w) override { Check(), fileBar = w; }
    void SetTotalBarWidth(int32_t w) override { Check(), bars.emplace_back(fileBar, w); }
    void SetTitle(const std::string& t) override { Check(), titles.push_back(t); }
    void AddErrorLine(const std::string& l) override { Check(), errors.push_back(l); }
    void RowDone(uint32_t row, RowOutcome outcome) override {
        Check(), outcomes.emplace_back(row, outcome);
    }
    std::vector<std::pair<uint32_t, RowOutcome>> outcomes;

private:
    void Check() { offThread |= std::this_thread::get_id() != hostThread; }
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

class FakeSource : public CLReadDecodeBase {
public:
    FakeSource(const char*, const RowContext& row, ConversionError& code, Script& script,
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

class ConversionWorker : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/bmc-worker-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        host.destination.Target = tfWave;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Input(const std::string& name, std::size_t size) {
        const fs::path path = dir / name;
        WriteAll(path, std::string(size, 'i'));
        host.rows.push_back(path.string());
        return path;
    }

    std::unique_ptr<trdConversion> Start(uint64_t totalBytes) {
        auto factory = [this](const char* path, const RowContext& row,
                              ConversionError& code) -> std::unique_ptr<CLReadDecodeBase> {
            if (std::string(path).ends_with(".txt")) {
                return nullptr;
            }
            return std::make_unique<FakeSource>(path, row, code, script, clock);
        };
        return std::make_unique<trdConversion>(
            host, settings, environment, false, totalBytes, [this] { return clock.load(); },
            factory);
    }

    void Run(uint64_t totalBytes) {
        auto worker = Start(totalBytes);
        worker->WaitFor();
        EXPECT_FALSE(worker->Running());
        EXPECT_FALSE(host.offThread);
    }

    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().filename().string().starts_with("BRC")) {
                found.push_back(entry.path().filename());
            }
        }
        return found;
    }

    fs::path dir;
    ConversionSettings settings;
    CodecModules codecs{{}};
    const JobEnvironment environment{codecs};
    RecordingHost host;
    Script script;
    std::atomic<uint32_t> clock = 100000;
};

} // namespace

TEST_F(ConversionWorker, AnEmptyListTouchesNothingAndEndsFull) {
    Run(0);
    EXPECT_EQ(host.counters, std::vector<std::string>{"Converted 0 of 0"});
    EXPECT_TRUE(host.writing.empty());
    EXPECT_TRUE(host.errors.empty());
    ASSERT_FALSE(host.bars.empty());
    EXPECT_EQ(host.bars.back().second, 259);
    EXPECT_EQ(host.titles.back(), "BMC 100% Converted");
}

TEST_F(ConversionWorker, ShowsCounterOutputAndBarsInOrder) {
    const fs::path a = Input("a.wav", 1000);
    const fs::path b = Input("b.mp3", 3000);
    script.pumps = 2;
    script.msPerPump = 600; // every pump is past the 500 ms interval
    script.progress = [](int32_t p[2], int k) { p[0] = 2, p[1] = k; };
    Run(4000);

    EXPECT_EQ(host.counters, (std::vector<std::string>{"Converted 0 of 2", "Converted 1 of 2",
                                                       "Converted 2 of 2"}));
    EXPECT_EQ(host.writing,
              (std::vector<std::string>{"Writing '" + (dir / "a.wav").string() + "'",
                                        "Writing '" + (dir / "b.wav").string() + "'"}));
    // Per file: the reset bar, one update after the first pump, the shown update after the file.
    ASSERT_GE(host.bars.size(), 4u);
    EXPECT_EQ(host.bars[0], std::make_pair(0, 0));
    EXPECT_EQ(host.bars[1], std::make_pair(129, 31)); // half of the first of 1000 + 3000 bytes
    EXPECT_EQ(host.titles[1], "BMC 11% Converted");
    EXPECT_EQ(host.bars[2], std::make_pair(129, 31));  // after the file: shown unchanged
    EXPECT_EQ(host.bars[3], std::make_pair(0, 31));    // next file starts empty
    EXPECT_EQ(host.bars[4], std::make_pair(129, 160)); // 1000 + 1500 of 4000 = 62 %
    EXPECT_EQ(host.titles.back(), "BMC 100% Converted");
    EXPECT_TRUE(host.times.empty()); // 1.2 s of job: no estimate yet
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(ReadAll(dir / "b.wav"), "HEADDATADATAEND");
    EXPECT_EQ(ReadAll(a), "HEADDATADATAEND"); // same type, same folder: replaced
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, ProgressAtMostEveryHalfSecondAndTimeOnlyAfterFiveSeconds) {
    Input("a.wav", 1000);
    Input("b.wav", 3000);
    host.destination = {false, (dir / "out").string(), tfWave};
    fs::create_directory(dir / "out");
    script.pumps = 10;
    script.msPerPump = 1000;
    Run(4000);
    // First file: pumps 1..9 return true, each one second later: 9 updates.
    // The estimate starts once more than 5000 ms have passed (pump 6: 6 s for 600 bytes).
    ASSERT_FALSE(host.times.empty());
    EXPECT_EQ(host.times.front(), "Time Remaining : 0:00.34"); // 6 * 3400 / 600
    EXPECT_EQ(host.times.size(), 4u + 9u);                     // pumps 6..9, then all of b

    host = RecordingHost{};
    script.msPerPump = 250; // two pumps per interval
    Input("c.wav", 100);
    Run(100);
    // Pumps at 250 and 500 ms (not more than 500) are not shown, 750 is; then every third.
    const int updates = static_cast<int>(host.bars.size()) - 3; // reset, after-file, final
    EXPECT_EQ(updates, 3);                                      // at 750, 1500, 2250
}

TEST_F(ConversionWorker, FailedFilesGetOneLineAndStillCount) {
    const fs::path notes = Input("notes.txt", 2000);
    const fs::path bad = Input("bad.wav", 1000);
    Input("good.wav", 1000);
    fs::create_directory(dir / "out");
    host.destination = {false, (dir / "out").string(), tfWave};
    WriteAll(dir / "out" / "bad.wav", "OLD");
    script.pumps = 2;
    script.msPerPump = 600;
    script.progress = [](int32_t p[2], int) { p[0] = 1, p[1] = 0; };
    int opened = 0;
    auto factory = [&](const char* path, const RowContext& row,
                       ConversionError& code) -> std::unique_ptr<CLReadDecodeBase> {
        if (std::string(path).ends_with(".txt")) {
            return nullptr;
        }
        script.code = ++opened == 1 ? ConversionError::ceRead : ConversionError::ceNone;
        return std::make_unique<FakeSource>(path, row, code, script, clock);
    };
    trdConversion worker(
        host, settings, environment, false, 4000, [this] { return clock.load(); }, factory);
    worker.WaitFor();
    EXPECT_EQ(host.errors, (std::vector<std::string>{
                               "'.txt' file type is not supported. Error whilst converting '" +
                                   notes.string() + "'.",
                               "Unable to read from '" + bad.string() + "'."}));
    EXPECT_EQ(ReadAll(dir / "out" / "bad.wav"), "OLD"); // no copy-back after a failed open
    // The failed files' 3000 bytes are done when the third file's first figures come in.
    EXPECT_EQ(host.bars[host.bars.size() - 3].second, 194); // 75 % of 259
    EXPECT_EQ(ReadAll(dir / "out" / "good.wav"), "HEADDATADATAEND");
    for (const auto& entry : fs::directory_iterator(dir / "out")) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("BRC")) << entry.path();
    }
}

TEST_F(ConversionWorker, AnExistingOutputIsReplacedOnlyWhenComplete) {
    const fs::path x = Input("x.wav", 10);
    WriteAll(x, "ORIGINAL");
    fs::permissions(x, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> seen;
    script.pumps = 3;
    script.onPump = [&](int) { seen.push_back(ReadAll(x) + std::to_string(Leftovers().size())); };
    Run(10);
    // While converting, the input (also the output) stayed whole, and the new version had no
    // name that a killed process could leave behind; then it replaced the old one at once.
    EXPECT_EQ(seen, std::vector<std::string>(3, "ORIGINAL0"));
    EXPECT_EQ(ReadAll(x), "HEADDATADATADATAEND");
    EXPECT_EQ(fs::status(x).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, AFileNobodyAgreedToReplaceIsKept) {
    const fs::path a = Input("a.mp3", 10);
    Input("b.mp3", 10);
    Input("c.mp3", 10);
    host.replaceable = {(dir / "listed.wav").string()};
    WriteAll(dir / "a.wav", "THEIRS"); // appeared after the outputs were listed
    fs::create_symlink(dir / "elsewhere.wav", dir / "c.wav");
    Run(30);
    EXPECT_EQ(host.errors,
              (std::vector<std::string>{"'" + (dir / "a.wav").string() +
                                            "' appeared after the outputs were checked and was not "
                                            "replaced; '" +
                                            a.string() + "' was not converted.",
                                        "'" + (dir / "c.wav").string() +
                                            "' appeared after the outputs were checked and was not "
                                            "replaced; '" +
                                            (dir / "c.mp3").string() + "' was not converted."}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "THEIRS");
    EXPECT_EQ(ReadAll(dir / "b.wav"), "HEADDATADATADATAEND");
    // A link, even a dangling one, is an existing output: nothing is written through it.
    EXPECT_TRUE(fs::is_symlink(dir / "c.wav"));
    EXPECT_FALSE(fs::exists(dir / "elsewhere.wav"));

    host = RecordingHost{}; // every output may be replaced
    fs::remove(dir / "a.mp3");
    fs::remove(dir / "b.mp3");
    host.rows = {(dir / "c.mp3").string()};
    Run(10);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_FALSE(fs::is_symlink(dir / "c.wav")); // the link itself was replaced
    EXPECT_EQ(ReadAll(dir / "c.wav"), "HEADDATADATADATAEND");
    EXPECT_FALSE(fs::exists(dir / "elsewhere.wav"));
}

TEST_F(ConversionWorker, RenamedOutputsGoToTheirNewNames) {
    const fs::path in = Input("song.wav", 10);
    WriteAll(dir / "song.wma", "OLD");
    host.destination.Target = tfWMA;
    host.renames.Fill({{(dir / "SONG.WMA").string(), (dir / "never.wma").string()},
                       {(dir / "song.wma").string(), (dir / "song (2).wma").string()}});
    Run(10);
    EXPECT_EQ(host.writing.front(), "Writing '" + (dir / "song (2).wma").string() + "'");
    EXPECT_EQ(ReadAll(dir / "song.wma"), "OLD");
    EXPECT_EQ(ReadAll(dir / "song (2).wma"), "HEADDATADATADATAEND");
    (void)in;
}

TEST_F(ConversionWorker, WriteFailuresLeaveTheOldOutputAndReportTheDestination) {
    const fs::path in = Input("a.mp3", 10);
    Input("b.mp3", 10);
    WriteAll(dir / "a.wav", "OLD");
    script.writeError = true;
    script.protectedInput = true;
    Run(20);
    EXPECT_EQ(host.errors,
              (std::vector<std::string>{"Unable to write to '" + (dir / "a.wav").string() + "'.",
                                        "Protected WMA file cannot convert '" + in.string() + "'.",
                                        "Unable to write to '" + (dir / "b.wav").string() + "'.",
                                        "Protected WMA file cannot convert '" +
                                            (dir / "b.mp3").string() + "'."}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "OLD"); // old output untouched
    EXPECT_FALSE(fs::exists(dir / "b.wav"));  // a failed new output leaves nothing at its name
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, InputsThatFailWhileDecodingNeverReplaceAnOldOutput) {
    const fs::path protectedIn = Input("a.wma", 10);
    const fs::path brokenIn = Input("b.wma", 10);
    WriteAll(dir / "a.wav", "OLD A");
    WriteAll(dir / "b.wav", "OLD B");
    script.onPump = [this](int) {
        const bool first = host.errors.empty();
        script.protectedInput = first;
        script.inputError = first ? ConversionError::ceNone : ConversionError::ceRead;
    };
    Run(20);
    EXPECT_EQ(host.errors, (std::vector<std::string>{
                               "Protected WMA file cannot convert '" + protectedIn.string() + "'.",
                               "Unable to read from '" + brokenIn.string() + "'."}));
    EXPECT_EQ(ReadAll(dir / "a.wav"), "OLD A");
    EXPECT_EQ(ReadAll(dir / "b.wav"), "OLD B");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, AReplaceThatCannotHappenIsAWriteError) {
    Input("a.mp3", 10);
    fs::create_directory(dir / "a.wav"); // a folder where the output should go
    WriteAll(dir / "a.wav" / "keep", "K");
    Run(10);
    EXPECT_EQ(host.errors,
              std::vector<std::string>{"Unable to write to '" + (dir / "a.wav").string() + "'."});
    EXPECT_EQ(ReadAll(dir / "a.wav" / "keep"), "K");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, CancellingDuringAnOverwriteKeepsTheOldFile) {
    const fs::path x = Input("x.mp3", 10);
    Input("y.mp3", 10);
    WriteAll(dir / "x.wav", "OLD");
    script.pumps = 100;
    std::atomic<trdConversion*> self = nullptr;
    script.onPump = [&](int k) {
        while (k == 2 && !self) {
            std::this_thread::yield();
        }
        if (k == 2) {
            self.load()->Terminate();
        }
    };
    auto worker = Start(20);
    self = worker.get();
    worker->WaitFor();
    EXPECT_EQ(ReadAll(dir / "x.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "y.wav")); // the job stopped
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(host.bars.back().second, 259);
    (void)x;
}

TEST_F(ConversionWorker, CancellingDuringANewOutputLeavesItFinalised) {
    Input("x.mp3", 10);
    script.pumps = 100;
    std::atomic<trdConversion*> self = nullptr;
    script.onPump = [&](int k) {
        while (k == 3 && !self) {
            std::this_thread::yield();
        }
        if (k == 3) {
            self.load()->Terminate();
        }
    };
    auto worker = Start(10);
    self = worker.get();
    worker->WaitFor();
    EXPECT_EQ(ReadAll(dir / "x.wav"), "HEADDATADATADATAEND");
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(ConversionWorker, DestroyingARunningWorkerStopsIt) {
    Input("x.mp3", 10);
    script.pumps = 1000000;
    {
        auto worker = Start(10);
        worker->CheckSynchronize(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(fs::exists(dir / "x.wav"));
}

TEST_F(ConversionWorker, AnOutputWrittenEarlierInTheJobIsNeverReplaced) {
    using Outcome = ConversionHost::RowOutcome;
    const fs::path wav = Input("x.wav", 10); // its own output: replaced through a temporary file
    const fs::path mp3 = Input("x.mp3", 10);
    const fs::path bad = Input("y.mp3", 10);
    const fs::path wma = Input("y.wma", 10);
    int opened = 0;
    auto factory = [&](const char* path, const RowContext& row,
                       ConversionError& code) -> std::unique_ptr<CLReadDecodeBase> {
        // y.mp3 fails to open, so y.wma may still write y.wav; x.mp3 is never opened.
        script.code = ++opened == 2 ? ConversionError::ceRead : ConversionError::ceNone;
        script.pumps = opened;
        return std::make_unique<FakeSource>(path, row, code, script, clock);
    };
    trdConversion worker(
        host, settings, environment, false, 40, [this] { return clock.load(); }, factory);
    worker.WaitFor();
    EXPECT_EQ(host.errors, (std::vector<std::string>{
                               "'" + wav.string() + "' was already written from '" + wav.string() +
                                   "' in this job; '" + mp3.string() + "' was not converted.",
                               "Unable to read from '" + bad.string() + "'."}));
    EXPECT_EQ(ReadAll(wav), "HEADDATAEND");                   // the first row's result
    EXPECT_EQ(ReadAll(dir / "y.wav"), "HEADDATADATADATAEND"); // written by the fourth row
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(host.outcomes, (std::vector<std::pair<uint32_t, Outcome>>{{0, Outcome::Converted},
                                                                        {1, Outcome::Failed},
                                                                        {2, Outcome::Failed},
                                                                        {3, Outcome::Converted}}));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(ConversionWorker, AnExceptionStopsTheJobWithALineAndKeepsTheOldOutput) {
    Input("a.mp3", 10);
    const fs::path b = Input("b.mp3", 10);
    Input("c.mp3", 10);
    WriteAll(dir / "b.wav", "OLD");
    script.onPump = [this](int k) {
        if (k == 2 && host.outcomes.size() == 1) {
            throw std::bad_alloc();
        }
    };
    Run(30);
    EXPECT_EQ(host.errors,
              std::vector<std::string>{"Insufficient memory to convert '" + b.string() +
                                       "'. The remaining files were not converted."});
    EXPECT_EQ(ReadAll(dir / "b.wav"), "OLD");
    EXPECT_FALSE(fs::exists(dir / "c.wav"));
    EXPECT_EQ(host.outcomes.back(), std::make_pair(1u, ConversionHost::RowOutcome::Failed));
    EXPECT_EQ(host.bars.back().second, 259);
    EXPECT_TRUE(Leftovers().empty());
}

// A runner that holds the next row behind the one it converts: the controller announces each row
// when it begins, shows the row being converted, and holds only short rows.
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "jobs/JobController.h"

namespace fs = std::filesystem;

namespace {

// One slot that takes two rows; each wait advances the first row to half, then ends it.
class HoldingRunner final : public JobRunner {
public:
    std::size_t SlotCount() const override { return 1; }
    std::optional<std::size_t> IdleSlot() const override {
        return held.size() < 2 ? std::optional<std::size_t>(0) : std::nullopt;
    }
    bool Busy() const override { return !held.empty(); }
    bool Begin(std::size_t, const RowRequest& request, std::string&) override {
        heldAtBegin.push_back(held.size());
        held.push_back(request.Input);
        return true;
    }
    std::vector<RowEvent> Wait(int, const sigset_t*) override {
        if (!halfway) {
            halfway = true;
            return {RowEvent::Progressed(0, 50)};
        }
        halfway = false;
        held.pop_front();
        return {RowEvent::Ended(0, RowOutcome::Converted)};
    }
    void Cancel() override {}

    std::deque<std::string> held;
    std::vector<std::size_t> heldAtBegin; // rows it held as each row came
    bool halfway = false;
};

class Recorder final : public JobObserver {
public:
    void RowStarted(std::size_t, std::size_t row) override {
        log.push_back("start " + std::to_string(row));
    }
    void Progress(const JobProgress& p) override {
        const auto& slot = p.Slots.at(0);
        const std::string shown =
            slot.Row ? std::to_string(*slot.Row) + "@" + std::to_string(int(slot.Percent)) : "-";
        if (log.empty() || log.back() != shown) {
            log.push_back(shown);
        }
    }
    void Cancelling() override {}
    std::vector<std::string> log;
};

class HeldRows : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/bmc-held-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    void Input(const std::string& name, std::size_t size) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'i');
        rows.push_back({path.string(), (dir / (name + ".out")).string(), false, std::nullopt});
    }
    JobResult Run() {
        JobController job(rows, ReplaceableOutputs({}, true), false);
        return job.Run(runner, recorder);
    }

    fs::path dir;
    std::vector<PlannedRow> rows;
    HoldingRunner runner;
    Recorder recorder;
};

} // namespace

TEST_F(HeldRows, ARowHeldBehindAnotherIsAnnouncedAndShownOnlyWhenItBegins) {
    Input("a.wav", 1000);
    Input("b.wav", 1000);
    Input("c.wav", 1000);
    const JobResult result = Run();
    EXPECT_EQ(result.Converted, 3u);
    EXPECT_EQ(runner.heldAtBegin, (std::vector<std::size_t>{0, 1, 1}));
    EXPECT_EQ(recorder.log,
              (std::vector<std::string>{"-", "start 0", "0@0", "0@50", "start 1", "1@0", "1@50",
                                        "start 2", "2@0", "2@50", "-"}));
}

TEST_F(HeldRows, ALongRowWaitsForAFreeSlotInsteadOfBehindAnother) {
    Input("short.wav", 1000);
    Input("long.wav", 4 << 20);
    Input("after.wav", 1000);
    EXPECT_EQ(Run().Converted, 3u);
    // The long row waits for the short one to end; the next short row may wait behind it.
    EXPECT_EQ(runner.heldAtBegin, (std::vector<std::size_t>{0, 0, 1}));
}

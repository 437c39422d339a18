#include "cli/ParallelJob.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/OutputFolder.h"
#include "cli/SettingsFields.h"
#include "cli/StopSignals.h"
#include "cli/WorkerMessages.h"
#include "engine/ConversionError.h"
#include "engine/ProgressFigures.h"
#include "system/AppPaths.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto EstimateAfter = std::chrono::milliseconds(5000);
constexpr auto EstimateEvery = std::chrono::milliseconds(500);

// The name with its letters in one case, character by character; a byte that starts no character
// stands for itself.
std::wstring FoldedCase(const std::string& text) {
    std::wstring folded;
    std::mbstate_t state{};
    for (std::size_t at = 0; at < text.size();) {
        wchar_t c = 0;
        const std::size_t n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        if (n == 0 || n > text.size() - at) {
            folded += static_cast<wchar_t>(0xDC00 + static_cast<unsigned char>(text[at]));
            state = {};
            ++at;
            continue;
        }
        folded += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        at += n;
    }
    return folded;
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    const bool haveA = stat(a.empty() ? "." : a.c_str(), &sa) == 0;
    const bool haveB = stat(b.empty() ? "." : b.c_str(), &sb) == 0;
    if (haveA && haveB) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    if (haveA || haveB) {
        return false;
    }
    const auto normal = [](const std::string& path) {
        return std::filesystem::absolute(path).lexically_normal().string();
    };
    return FoldedCase(normal(a)) == FoldedCase(normal(b));
}

// Whether two paths may name one file: names alike but for letter case, in one folder however
// reached. A file system that ignores case gives both one file; two workers must not write it at
// once, and a later row must see what an earlier one wrote there, as one after another would.
bool MayNameOneFile(const std::string& a, const std::string& b) {
    return FoldedCase(GetFileNamePart(a)) == FoldedCase(GetFileNamePart(b)) &&
           SameFolder(GetFolderPart(a), GetFolderPart(b));
}

std::string CrashLine(const std::string& input, const std::string& how) {
    return "Unable to convert '" + input + "': the conversion crashed (" + how + ").";
}
} // namespace

ParallelJob::ParallelJob(std::vector<PlannedRow> rows, const ConversionSettings& settings,
                         ReplaceableOutputs replaceable, std::size_t workers, bool makeFolders,
                         JobDisplay& display)
    : slots_(std::max<std::size_t>(workers, 1)), replaceable_(std::move(replaceable)),
      makeFolders_(makeFolders), display_(display), program_(ExecutablePath()) {
    settingsMessage_ = SettingsFields(settings);
    settingsMessage_.insert(settingsMessage_.begin(), WorkerMessages::Settings);
    uint64_t total = 0;
    for (PlannedRow& plan : rows) {
        const uint64_t size = GetFileSizeOfName(plan.Input);
        total += size;
        Row row;
        row.plan = std::move(plan);
        row.size = size;
        rows_.push_back(std::move(row));
    }
    totalBytes_ = std::max<uint64_t>(total, 1);
}

bool ParallelJob::StartWorker(Slot& slot, std::string& problem) {
    std::unique_ptr<WorkerProcess> process = WorkerProcess::Start(program_, problem);
    if (!process) {
        return false;
    }
    if (!process->Channel().Send(settingsMessage_)) {
        problem = "it ended at once";
        return false;
    }
    slot.process = std::move(process);
    return true;
}

bool ParallelJob::Start(std::string& problem) {
    bool any = false;
    for (Slot& slot : slots_) {
        any = StartWorker(slot, problem) || any;
    }
    return any;
}

int ParallelJob::Run() {
    start_ = Clock::now();
    lastEstimate_ = start_;
    // The stop signals are taken only while waiting for the workers, so none is missed between a
    // look at the flag and the wait.
    const sigset_t stops = StopSignalSet();
    sigset_t open;
    pthread_sigmask(SIG_BLOCK, &stops, &open);
    CatchStopSignals(true, true);
    display_.SetCounter("Converted 0 of " + std::to_string(rows_.size()));
    while (true) {
        if (!cancelling_ && !stopped_) {
            Dispatch();
        }
        if (!AnyBusy()) {
            break;
        }
        display_.Refresh();
        WaitForWorkers(open);
        if (CaughtStopSignal() && !cancelling_) {
            Cancel();
        }
        ShowTotal();
    }
    slots_.clear();
    // A stop signal that came with the last report is taken now, before the count.
    pthread_sigmask(SIG_SETMASK, &open, nullptr);
    for (Row& row : rows_) {
        if (row.stage == Stage::Cancelled && !CaughtStopSignal()) {
            // Stopped by a signal to the worker alone: for this job it failed.
            row.stage = Stage::Failed;
            row.lines.push_back("Unable to convert '" + row.plan.Input +
                                "': the conversion was stopped by a signal.");
        }
    }
    if (!cancelling_) {
        display_.SetTotalBar(FullBarWidth);
    }
    display_.Finish();
    return CaughtStopSignal();
}

bool ParallelJob::AnyBusy() const {
    return std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.row; });
}

bool ParallelJob::MustWait(std::size_t row) const {
    const PlannedRow& next = rows_[row].plan;
    return std::any_of(slots_.begin(), slots_.end(), [&](const Slot& slot) {
        if (!slot.row) {
            return false;
        }
        const PlannedRow& running = rows_[*slot.row].plan;
        return MayNameOneFile(running.Output, next.Output) ||
               MayNameOneFile(running.Output, next.Input) ||
               MayNameOneFile(running.Input, next.Output);
    });
}

void ParallelJob::Dispatch() {
    while (!stopped_ && next_ < rows_.size() && !MustWait(next_)) {
        Row& row = rows_[next_];
        // An output that an earlier row wrote is never replaced by a later one.
        if (const auto first = written_.Owner(row.plan.Output)) {
            row.lines.push_back(
                AlreadyWrittenLine(row.plan.Output, rows_[*first].plan.Input, row.plan.Input));
            Settle(next_++, Stage::Failed);
            continue;
        }
        auto idle = std::find_if(slots_.begin(), slots_.end(),
                                 [](const Slot& s) { return !s.row && s.process != nullptr; });
        if (idle == slots_.end()) {
            idle = std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.row; });
        }
        if (idle == slots_.end()) {
            return;
        }
        std::string problem;
        if (!idle->process && !StartWorker(*idle, problem)) {
            const bool othersRun = std::any_of(slots_.begin(), slots_.end(),
                                               [](const Slot& s) { return s.process != nullptr; });
            if (!othersRun) {
                row.lines.push_back("Unable to convert '" + row.plan.Input +
                                    "': no worker process could be started (" + problem + ")." +
                                    std::string(RemainingNotConverted));
                Settle(next_++, Stage::Failed);
                stopped_ = true;
            }
            return;
        }
        StartRow(static_cast<std::size_t>(idle - slots_.begin()), next_++);
    }
}

void ParallelJob::StartRow(std::size_t slotIndex, std::size_t rowIndex) {
    Slot& slot = slots_[slotIndex];
    Row& row = rows_[rowIndex];
    row.stage = Stage::Running;
    if (makeFolders_) {
        if (const std::string line = PrepareFolderOf(row.plan.Output); !line.empty()) {
            row.lines.push_back(line);
        }
    }
    slot.row = rowIndex;
    slot.writes.clear();
    slot.fileDone = 0;
    display_.SetWriting(slotIndex, "Writing '" + row.plan.Output + "'");
    display_.SetFileBar(slotIndex, 0);
    // A worker that is gone is noticed at its closed channel, as if it had crashed.
    const bool mayReplace = replaceable_.Contains(row.plan.Output);
    slot.process->Channel().Send({WorkerMessages::File, row.plan.Input, row.plan.Output,
                                  mayReplace ? WorkerMessages::MayReplace : WorkerMessages::Keep});
}

void ParallelJob::Settle(std::size_t rowIndex, Stage stage) {
    rows_[rowIndex].stage = stage;
    bytesDone_ += rows_[rowIndex].size;
    ++settled_;
    display_.SetCounter("Converted " + std::to_string(settled_) + " of " +
                        std::to_string(rows_.size()));
}

void ParallelJob::WaitForWorkers(const sigset_t& open) {
    std::vector<pollfd> fds;
    std::vector<std::size_t> owners;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        if (slots_[s].process) {
            fds.push_back({slots_[s].process->Channel().Fd(), POLLIN, 0});
            owners.push_back(s);
        }
    }
    if (ppoll(fds.data(), fds.size(), nullptr, &open) <= 0) {
        return; // a signal
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents != 0) {
            ReadReports(owners[i]);
        }
    }
}

void ParallelJob::Cancel() {
    cancelling_ = true;
    display_.Cancelling();
    display_.Note("Cancelling...");
    for (const Slot& slot : slots_) {
        if (slot.row && slot.process) {
            slot.process->Signal(SIGTERM);
        }
    }
}

void ParallelJob::ReadReports(std::size_t slotIndex) {
    Slot& slot = slots_[slotIndex];
    const WorkerChannel::ReadResult result = slot.process->Channel().ReadSome();
    WorkerChannel::Message message;
    while (slot.process && slot.process->Channel().Next(message)) {
        Handle(slotIndex, message);
    }
    if (slot.process && result == WorkerChannel::ReadResult::Ended) {
        WorkerEnded(slot);
    }
}

void ParallelJob::Handle(std::size_t slotIndex, const WorkerChannel::Message& message) {
    Slot& slot = slots_[slotIndex];
    if (!slot.row || message.size() > 2) {
        return;
    }
    Row& row = rows_[*slot.row];
    const std::string& what = message.front();
    const std::string value = message.size() == 2 ? message[1] : std::string();
    if (what == WorkerMessages::Writes) {
        slot.writes = value;
    } else if (what == WorkerMessages::Bar) {
        int32_t width = 0;
        std::from_chars(value.data(), value.data() + value.size(), width);
        width = std::clamp(width, 0, FullBarWidth);
        display_.SetFileBar(slotIndex, width);
        slot.fileDone = row.size * static_cast<uint64_t>(width) / FullBarWidth;
    } else if (what == WorkerMessages::Line) {
        row.lines.push_back(value);
        // The worker met a failure that ends the job, as it would one file after another.
        stopped_ = stopped_ || value.ends_with(RemainingNotConverted);
    } else if (what == WorkerMessages::Wrote) {
        written_.Claim(row.plan.Output, *slot.row);
    } else if (what == WorkerMessages::Done) {
        const std::size_t rowIndex = *slot.row;
        slot.row.reset();
        slot.fileDone = 0;
        if (value == WorkerMessages::Converted) {
            display_.SetFileBar(slotIndex, FullBarWidth);
            Settle(rowIndex, Stage::Converted);
        } else if (value == WorkerMessages::Failed) {
            Settle(rowIndex, Stage::Failed);
        } else {
            // A worker that was told to stop ends; the next file gets a fresh one.
            slot.process.reset();
            Settle(rowIndex, Stage::Cancelled);
        }
    }
}

void ParallelJob::WorkerEnded(Slot& slot) {
    const std::string how = slot.process->Reap();
    slot.process.reset();
    if (!slot.row) {
        return; // an idle worker ended; another starts when a file needs it
    }
    const std::size_t rowIndex = *slot.row;
    slot.row.reset();
    slot.fileDone = 0;
    Row& row = rows_[rowIndex];
    // A named temporary file goes; the output itself is only ever put in place whole.
    if (!slot.writes.empty()) {
        unlink(slot.writes.c_str());
    }
    row.lines.push_back(CrashLine(row.plan.Input, how.empty() ? "it ended early" : how));
    Settle(rowIndex, Stage::Failed);
}

void ParallelJob::ShowTotal() {
    uint64_t done = bytesDone_;
    for (const Slot& slot : slots_) {
        done += slot.fileDone;
    }
    const uint64_t percent = std::min<uint64_t>(done * 100 / totalBytes_, 100);
    display_.SetTotalBar(static_cast<int32_t>(percent * FullBarWidth / 100));
    const Clock::time_point now = Clock::now();
    if (now - start_ > EstimateAfter && now - lastEstimate_ >= EstimateEvery) {
        lastEstimate_ = now;
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_);
        display_.SetSecondsLeft(
            ComputeSecondsLeft(static_cast<uint32_t>(elapsed.count()), done, totalBytes_));
    }
}

std::vector<std::string> ParallelJob::Errors() const {
    std::vector<std::string> lines;
    for (const Row& row : rows_) {
        lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    }
    return lines;
}

CliHost::Counts ParallelJob::Count() const {
    CliHost::Counts counts;
    for (const Row& row : rows_) {
        counts.converted += row.stage == Stage::Converted;
        counts.failed += row.stage == Stage::Failed;
    }
    counts.unfinished = rows_.size() - counts.converted - counts.failed;
    return counts;
}

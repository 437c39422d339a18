#include "jobs/JobController.h"

#include <sys/eventfd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <filesystem>

#include "engine/AlbumLoudness.h"
#include "engine/ConversionError.h"
#include "engine/LoudnessValues.h"
#include "engine/ProgressFigures.h"
#include "engine/ReadNameValues.h"
#include "jobs/FinishReporter.h"
#include "jobs/OutputFolder.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"

namespace {
constexpr uint32_t EstimateAfterMs = 5000;
constexpr uint32_t EstimateEveryMs = 500;
// About three seconds of CD audio as WAVE, half a minute as MP3.
constexpr uint64_t HoldBehindBytes = 512 * 1024;

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
// reached. A file system that ignores case gives both one file; two rows must not write it at
// once, and a later row must see what an earlier one wrote there, as one after another would.
bool MayNameOneFile(const std::string& a, const std::string& b) {
    return FoldedCase(GetFileNamePart(a)) == FoldedCase(GetFileNamePart(b)) &&
           SameFolder(GetFolderPart(a), GetFolderPart(b));
}

// A row that failed, whose album's gain was measured on the rows that did not.
std::string AlbumWithoutLine(const std::string& input) {
    return "The album gain of the other files in '" + GetFolderPart(input) +
           "' was measured without '" + input + "'.";
}

// A row the cancel stopped while it converted: what it wrote never took the output's name.
std::string NotKeptLine(const PlannedRow& row) {
    return "The conversion of '" + row.Input + "' to '" + row.Output +
           "' was cancelled and not kept.";
}
} // namespace

JobController::JobController(std::vector<PlannedRow> rows, ReplaceableOutputs replaceable,
                             bool makeFolders, RowConverter::TickSource ticks)
    : replaceable_(std::move(replaceable)), makeFolders_(makeFolders), ticks_(std::move(ticks)),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    uint64_t total = 0;
    for (PlannedRow& plan : rows) {
        Row row;
        // A skipped row counts no bytes: the time left is that of the rows converted.
        if (replaceable_.Skips(plan.Output)) {
            row.stage = Stage::Skipped;
        } else {
            row.size = GetFileSizeOfName(plan.Input);
        }
        row.plan = std::move(plan);
        folders_[GetFolderPart(row.plan.Input)].push_back(rows_.size());
        total += row.size;
        rows_.push_back(std::move(row));
    }
    totalBytes_ = std::max<uint64_t>(total, 1);
}

void JobController::Cancel() {
    cancelRequested_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
}

JobResult JobController::Run(JobRunner& runner, JobObserver& observer, const Signals& stops) {
    start_ = ticks_();
    lastEstimate_ = start_;
    const std::size_t slots = runner.SlotCount();
    observer.Progress(Progress(slots, std::nullopt));
    while (true) {
        if (!cancelling_ && !stopped_) {
            Dispatch(runner, observer);
        }
        if (!runner.Busy()) {
            break;
        }
        for (const RowEvent& event : runner.Wait(wake_.Get(), stops.open)) {
            const std::optional<std::size_t> ending =
                event.What == RowEvent::Kind::Done ? RowOn(event.Slot) : std::nullopt;
            Handle(event);
            if (event.What == RowEvent::Kind::Verifying) {
                if (const std::optional<std::size_t> row = RowOn(event.Slot)) {
                    observer.RowVerifying(event.Slot, *row);
                }
            }
            // A row held back for its album has not ended yet for those who keep records.
            if (ending && rows_[*ending].stage != Stage::AwaitingAlbum) {
                observer.RowEnded(*ending, event.Outcome, event.Values);
            }
            if (event.What == RowEvent::Kind::Done) {
                // A row held behind the one that ended begins now.
                if (const std::optional<std::size_t> next = RowOn(event.Slot)) {
                    observer.RowStarted(event.Slot, *next);
                }
            }
            // The estimate is made from a file's figures and the time they were true.
            const bool progressed = event.What == RowEvent::Kind::Progress;
            observer.Progress(Progress(
                slots, progressed ? std::optional(event.Tick.value_or(ticks_())) : std::nullopt));
        }
        if (!cancelling_) {
            FinishAlbums(observer, false);
        }
        uint64_t wakes = 0; // a cancel is read off the flag; the descriptor only woke us
        [[maybe_unused]] const ssize_t read = ::read(wake_.Get(), &wakes, sizeof wakes);
        const bool stop = cancelRequested_ || (stops.stopRequested && stops.stopRequested());
        if (stop && !cancelling_) {
            cancelling_ = true;
            observer.Cancelling();
            runner.Cancel();
        }
    }
    if (cancelling_) {
        DropPending(observer);
    } else {
        FinishAlbums(observer, true);
    }
    // The job's end fills its bar (a display that stopped it at a cancel keeps it there).
    JobProgress last = Progress(slots, std::nullopt);
    last.BytesDone = last.BytesTotal;
    observer.Progress(last);
    for (Row& row : rows_) {
        if (row.stage == Stage::Cancelled && !cancelling_) {
            // Stopped by a signal to its worker alone: for this job it failed.
            row.stage = Stage::Failed;
            row.lines.push_back("Unable to convert '" + row.plan.Input +
                                "': the conversion was stopped by a signal.");
        } else if (row.stage == Stage::Cancelled && row.cut) {
            row.lines.push_back(NotKeptLine(row.plan));
        }
    }
    return Result();
}

bool JobController::MustWait(std::size_t index) const {
    const PlannedRow& next = rows_[index].plan;
    return std::any_of(rows_.begin(), rows_.end(), [&](const Row& row) {
        return row.stage == Stage::Running && (MayNameOneFile(row.plan.Output, next.Output) ||
                                               MayNameOneFile(row.plan.Output, next.Input) ||
                                               MayNameOneFile(row.plan.Input, next.Output));
    });
}

void JobController::Dispatch(JobRunner& runner, JobObserver& observer) {
    while (!stopped_ && next_ < rows_.size()) {
        Row& row = rows_[next_];
        if (row.stage == Stage::Skipped) {
            Settle(next_++, Stage::Skipped);
            continue;
        }
        if (MustWait(next_)) {
            return;
        }
        // An output that an earlier row wrote is never replaced by a later one.
        if (const auto first = written_.Owner(row.plan.Output)) {
            row.lines.push_back(
                AlreadyWrittenLine(row.plan.Output, rows_[*first].plan.Input, row.plan.Input));
            Settle(next_++, Stage::Failed);
            continue;
        }
        const std::optional<std::size_t> slot = runner.IdleSlot();
        // Behind a running row waits only a row short enough that another slot, freed meanwhile,
        // would hardly have finished it sooner.
        if (!slot || (RowOn(*slot) && row.size > HoldBehindBytes)) {
            return;
        }
        StartRow(runner, observer, *slot, next_);
        if (rows_[next_].stage == Stage::Waiting) {
            return; // its slot would not take it; another may later
        }
        ++next_;
    }
}

void JobController::StartRow(JobRunner& runner, JobObserver& observer, std::size_t slot,
                             std::size_t index) {
    Row& row = rows_[index];
    if (makeFolders_) {
        if (const std::string line = PrepareFolderOf(row.plan.Output); !line.empty()) {
            row.lines.push_back(line);
        }
    }
    const RowRequest request = RequestOf(row);
    const bool behind = RowOn(slot).has_value();
    std::string problem;
    if (!runner.Begin(slot, request, problem)) {
        if (!runner.Busy()) {
            row.lines.push_back("Unable to convert '" + row.plan.Input +
                                "': no worker process could be started (" + problem + ")." +
                                std::string(RemainingNotConverted));
            Settle(index, Stage::Failed);
            stopped_ = true;
        }
        return;
    }
    row.stage = Stage::Running;
    row.slot = slot;
    row.percent = 0;
    if (!behind) {
        observer.RowStarted(slot, index);
    }
    observer.Progress(Progress(runner.SlotCount(), std::nullopt));
}

void JobController::Settle(std::size_t index, Stage stage) {
    Row& row = rows_[index];
    // A held row's bytes were counted as it was converted.
    if (row.stage == Stage::AwaitingAlbum) {
        --awaiting_;
    } else {
        bytesDone_ += row.size;
    }
    awaiting_ += stage == Stage::AwaitingAlbum;
    row.stage = stage;
    row.slot.reset();
    // Counted as "Converted N of M" once it is: a cancelled row never is.
    settled_ += stage != Stage::Cancelled && stage != Stage::AwaitingAlbum;
}

RowRequest JobController::RequestOf(const Row& row) const {
    return {row.plan.Input, row.plan.Output, replaceable_.Contains(row.plan.Output), row.plan.Part};
}

std::optional<std::size_t> JobController::RowOn(std::size_t slot) const {
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        if (rows_[index].stage == Stage::Running && rows_[index].slot == slot) {
            return index;
        }
    }
    return std::nullopt;
}

void JobController::Handle(const RowEvent& event) {
    const std::optional<std::size_t> index = RowOn(event.Slot);
    if (!index) {
        return;
    }
    Row& row = rows_[*index];
    switch (event.What) {
    case RowEvent::Kind::Progress:
        row.percent = event.Percent;
        break;
    case RowEvent::Kind::Line:
        row.lines.push_back(event.Text);
        break;
    case RowEvent::Kind::Verifying:
        break;
    case RowEvent::Kind::Pending:
        row.pending = event.Output;
        [[fallthrough]]; // the output is the row's from now on
    case RowEvent::Kind::Wrote:
        written_.Claim(row.plan.Output, *index);
        break;
    case RowEvent::Kind::Done:
        row.values = event.Values;
        if (event.Outcome != RowOutcome::Converted) {
            row.pending.reset();
        }
        switch (event.Outcome) {
        case RowOutcome::Converted:
            Settle(*index, row.pending ? Stage::AwaitingAlbum : Stage::Converted);
            break;
        case RowOutcome::FailedStoppingJob:
            stopped_ = true;
            [[fallthrough]];
        case RowOutcome::Failed:
            Settle(*index, Stage::Failed);
            break;
        case RowOutcome::Cancelled:
            row.cut = true;
            [[fallthrough]];
        case RowOutcome::Unstarted:
            Settle(*index, Stage::Cancelled);
            break;
        }
        break;
    }
}

void JobController::FinishAlbums(JobObserver& observer, bool all) {
    if (awaiting_ == 0) {
        return;
    }
    for (const auto& [folder, rows] : folders_) {
        const auto stage = [this](std::size_t row) { return rows_[row].stage; };
        const bool held = std::ranges::any_of(
            rows, [&](std::size_t row) { return stage(row) == Stage::AwaitingAlbum; });
        const bool open = std::ranges::any_of(rows, [&](std::size_t row) {
            return stage(row) == Stage::Waiting || stage(row) == Stage::Running;
        });
        if (held && (all || !open)) {
            FinishFolder(observer, rows);
        }
    }
}

void JobController::FinishFolder(JobObserver& observer, const std::vector<std::size_t>& folder) {
    std::vector<std::string> inputs;
    for (const std::size_t row : folder) {
        inputs.push_back(rows_[row].plan.Input);
    }
    const std::vector<NameValues> tags =
        ReadNameValues(inputs, std::vector<std::string>(inputs.size()), true);
    std::map<std::string, std::vector<std::size_t>> albums;
    for (std::size_t at = 0; at < folder.size(); ++at) {
        const auto album = tags[at].tags.find("ALBUM");
        albums[album == tags[at].tags.end() ? std::string() : album->second].push_back(folder[at]);
    }
    for (const auto& [name, album] : albums) {
        FinishAlbum(observer, album);
    }
}

void JobController::FinishAlbum(JobObserver& observer, const std::vector<std::size_t>& album) {
    std::vector<std::size_t> held;
    std::vector<const RowValues*> measured;
    double peak = 0;
    for (const std::size_t row : album) {
        if (rows_[row].stage == Stage::AwaitingAlbum) {
            held.push_back(row);
            measured.push_back(&rows_[row].values);
            const auto found = rows_[row].values.find(PeakValue);
            peak = std::max(peak, found == rows_[row].values.end() ? 0.0 : found->second);
        }
    }
    if (held.empty()) {
        return;
    }
    RowValues gain;
    gain.emplace(AlbumLoudnessValue, AlbumLoudness(measured));
    gain.emplace(AlbumPeakValue, peak);
    for (const std::size_t row : held) {
        FinishRow(observer, row, gain);
    }
    for (const std::size_t row : album) {
        if (rows_[row].stage == Stage::Failed) {
            rows_[row].lines.push_back(AlbumWithoutLine(rows_[row].plan.Input));
        }
    }
}

void JobController::FinishRow(JobObserver& observer, std::size_t index, const RowValues& album) {
    Row& row = rows_[index];
    RowValues values = row.values;
    values.insert(album.begin(), album.end());
    FinishReporter reporter;
    RowOutcome outcome = RowOutcome::Failed;
    if (finisher_) {
        outcome = finisher_->Finish(RequestOf(row), std::move(*row.pending), values, reporter,
                                    [this] { return cancelRequested_.load(); });
    }
    row.pending.reset();
    row.lines.insert(row.lines.end(), reporter.lines.begin(), reporter.lines.end());
    DropLoudnessBlocks(row.values);
    stopped_ = stopped_ || outcome == RowOutcome::FailedStoppingJob;
    row.cut = outcome == RowOutcome::Cancelled;
    Settle(index, outcome == RowOutcome::Converted   ? Stage::Converted
                  : outcome == RowOutcome::Cancelled ? Stage::Cancelled
                                                     : Stage::Failed);
    observer.RowEnded(index, outcome, row.values);
}

void JobController::DropPending(JobObserver& observer) {
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        if (rows_[index].stage == Stage::AwaitingAlbum) {
            rows_[index].pending.reset();
            rows_[index].cut = true;
            Settle(index, Stage::Cancelled);
            observer.RowEnded(index, RowOutcome::Cancelled, rows_[index].values);
        }
    }
}

JobProgress JobController::Progress(std::size_t slots, std::optional<uint32_t> now) {
    JobProgress progress;
    progress.Settled = settled_;
    progress.Rows = rows_.size();
    progress.BytesTotal = totalBytes_;
    progress.BytesDone = bytesDone_;
    progress.Slots.resize(slots);
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const Row& row = rows_[index];
        if (row.stage != Stage::Running || !row.slot || *row.slot >= slots) {
            continue;
        }
        progress.BytesDone += FileBytesDone(row.size, row.percent);
        if (!progress.Slots[*row.slot].Row) { // not a row held behind it
            progress.Slots[*row.slot] = {index, row.percent};
        }
        if (!progress.Lead) {
            progress.Lead = *row.slot;
        }
    }
    if (now && *now - start_ > EstimateAfterMs && *now - lastEstimate_ >= EstimateEveryMs) {
        lastEstimate_ = *now;
        secondsLeft_ = ComputeSecondsLeft(*now - start_, progress.BytesDone, totalBytes_);
    }
    progress.SecondsLeft = secondsLeft_;
    return progress;
}

JobResult JobController::Result() const {
    JobResult result;
    for (const Row& row : rows_) {
        result.Lines.insert(result.Lines.end(), row.lines.begin(), row.lines.end());
        result.Values.push_back(row.values);
        result.Converted += row.stage == Stage::Converted;
        result.Failed += row.stage == Stage::Failed;
        if (row.stage == Stage::Cancelled && row.cut) {
            result.NotKept.push_back(NotKeptLine(row.plan));
        }
        result.Skipped += row.stage == Stage::Skipped;
    }
    result.Unfinished = rows_.size() - result.Converted - result.Failed - result.Skipped;
    result.Stopped = cancelling_ ? JobResult::Stop::Cancelled
                     : stopped_  ? JobResult::Stop::Failure
                                 : JobResult::Stop::None;
    return result;
}

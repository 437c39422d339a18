#include "engine/trdConversion.h"

#include <chrono>
#include <malloc.h>
#include <new>

#include "engine/OutputTags.h"
#include "engine/ProgressFigures.h"
#include "engine/StagedOutput.h"
#include "system/FileRoutines.h"

namespace {
constexpr uint32_t ProgressIntervalMs = 500;
constexpr uint32_t EstimateAfterMs = 5000;
// Each file allocates and frees about a megabyte of codec state. Fixed thresholds keep that
// memory for the next file: the allocator's own, which move with the job, may hand it back to
// the system after every file, to be faulted in again.
constexpr int KeptFreeBytes = 16 << 20;
constexpr int MappedFromBytes = 4 << 20;

} // namespace

trdConversion::trdConversion(ConversionHost& host, const ConversionSettings& settings,
                             const JobEnvironment& environment, bool createSuspended,
                             uint64_t totalBytes, SourceFactory createSource)
    : trdConversion(host, settings, environment, createSuspended, totalBytes, SystemTicks,
                    std::move(createSource)) {}

trdConversion::trdConversion(ConversionHost& host, const ConversionSettings& settings,
                             const JobEnvironment& environment, bool createSuspended,
                             uint64_t totalBytes, TickSource ticks, SourceFactory createSource)
    : host_(host), settings_(settings), environment_(environment), ticks_(std::move(ticks)),
      createSource_(std::move(createSource)), TotalBytes(totalBytes == 0 ? 1 : totalBytes) {
    if (!createSuspended) {
        Start();
    }
}

trdConversion::~trdConversion() {
    // The steps call into this object, so the thread must end before the members go.
    Terminate();
    WaitFor();
}

uint32_t trdConversion::SystemTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void trdConversion::Execute() {
    mallopt(M_TRIM_THRESHOLD, KeptFreeBytes);
    mallopt(M_MMAP_THRESHOLD, MappedFromBytes);
    FileIndex = 0;
    TotalPcWidth = 0;
    uint64_t bytesDone = 0;
    const uint32_t jobStart = ticks_();
    try {
        while (!Terminated()) {
            Synchronize([this] { ShowNextFile(); });
            if (DestFile.empty()) {
                break;
            }
            const ConversionHost::RowOutcome outcome = ConvertOneFile(bytesDone, jobStart);
            Synchronize([this, outcome] { host_.RowDone(FileIndex, outcome); });
            ++FileIndex;
        }
    } catch (const std::bad_alloc&) {
        StopJob(ConversionErrorLine(ConversionError::ceMemory, SourceFile));
    } catch (const std::exception& e) {
        StopJob("Unable to convert '" + SourceFile + "' (" + e.what() + ").");
    }
    TotalPcWidth = FullBarWidth;
    Synchronize([this] { ShowProgress(); });
}

void trdConversion::StopJob(const std::string& line) {
    // The source and any replacement file are gone with the unwound row: an old output is kept.
    ReportError(line + std::string(RemainingNotConverted));
    if (!SourceFile.empty()) {
        Synchronize([this] { host_.RowDone(FileIndex, ConversionHost::RowOutcome::Failed); });
    }
}

ConversionHost::RowOutcome trdConversion::ConvertOneFile(uint64_t& bytesDone, uint32_t jobStart) {
    using Outcome = ConversionHost::RowOutcome;
    rowInputs_.push_back(SourceFile);
    rowFailed_ = false;
    const uint64_t fileSize = GetFileSizeOfName(SourceFile);
    const auto skip = [&](std::string line) {
        ReportError(std::move(line));
        bytesDone += fileSize;
        Synchronize([this] { ShowProgress(); });
        return Outcome::Failed;
    };
    // An output that an earlier row wrote is never replaced by a later one.
    if (const auto first = written_.Owner(DestFile)) {
        return skip(AlreadyWrittenLine(DestFile, rowInputs_.at(*first), SourceFile));
    }
    // Something at the destination is replaced only when the job may replace it.
    const bool existed = EntryExists(DestFile);
    if (existed && !MayReplaceDest) {
        return skip(UnexpectedOutputLine(DestFile, SourceFile));
    }
    StagedOutput output(DestFile);
    RowResult result;
    const RowContext row{settings_, output.Path(), environment_, result};
    ConversionError code = ConversionError::ceNone;
    std::unique_ptr<CLReadDecodeBase> source = createSource_(SourceFile.c_str(), row, code);
    const bool pumped = source && code == ConversionError::ceNone;
    if (!source) {
        ReportError(UnsupportedTypeLine(SourceFile));
    } else if (!pumped) {
        ReportError(ConversionErrorLine(code, SourceFile));
    } else {
        PumpSource(*source, fileSize, bytesDone, jobStart);
    }
    bytesDone += fileSize;
    Synchronize([this] { ShowProgress(); });
    // Destroying the source finalises and closes the output, also after a cancellation.
    source.reset();
    if (!pumped) {
        return Outcome::Failed; // nothing is put in place
    }
    const bool cancelled = Terminated();
    if (!cancelled) {
        ReportRowFailures(result);
    }
    // A cancelled new output keeps what was converted; a cancelled replacement keeps the old file.
    const bool commit = cancelled ? !existed : !rowFailed_;
    if (commit && CommitOutput(output, existed, cancelled)) {
        written_.Claim(DestFile, FileIndex);
        Synchronize([this] { host_.OutputWritten(FileIndex); });
    }
    if (rowFailed_) {
        return Outcome::Failed;
    }
    return cancelled ? Outcome::Cancelled : Outcome::Converted;
}

void trdConversion::ReportRowFailures(const RowResult& result) {
    const ConversionError inputError = result.InputError;
    if (result.WriteError) {
        ReportError(WriteErrorLine(DestFile));
    }
    if (inputError != ConversionError::ceNone) {
        ReportError(ConversionErrorLine(inputError, SourceFile));
    }
    if (result.ProtectedInput) {
        ReportError(ProtectedInputLine(SourceFile));
    }
}

bool trdConversion::CommitOutput(StagedOutput& output, bool existed, bool cancelled) {
    if (!cancelled) {
        Reached(RowStage::Tagging);
        // The input's tags are read before the output may take its place (it may be the input
        // itself) and go into the new version before anyone can see it.
        OutputTags(SourceFile, settings_).WriteTo(output.Fd());
    }
    Reached(RowStage::Committing);
    bool replace = existed;
    if (!existed) {
        switch (output.LinkIn()) {
        case StagedOutput::LinkResult::Linked:
            return true;
        case StagedOutput::LinkResult::Taken:
            // Someone else's file appeared meanwhile: it stays, unless any may be replaced.
            replace = MayReplaceDest;
            if (!replace) {
                ReportError(UnexpectedOutputLine(DestFile, SourceFile));
                return false;
            }
            break;
        case StagedOutput::LinkResult::Failed:
            break;
        }
    }
    if (replace && output.Replace()) {
        return true;
    }
    ReportError(WriteErrorLine(DestFile));
    return false;
}

void trdConversion::PumpSource(CLReadDecodeBase& source, uint64_t fileSize, uint64_t bytesDone,
                               uint32_t jobStart) {
    uint32_t lastShown = ticks_();
    FilePcWidth = 0;
    Synchronize([this] { ShowProgress(); });
    for (bool first = true;; first = false) {
        const bool more = source.Pump();
        if (first) {
            Reached(RowStage::Writing);
        }
        if (!more || Terminated()) {
            break;
        }
        const uint32_t now = ticks_();
        if (now - lastShown <= ProgressIntervalMs) {
            continue;
        }
        lastShown = now;
        int32_t progress[2] = {0, 0};
        source.GetProgress(progress);
        const ProgressFigures figures =
            ComputeProgressFigures(progress, fileSize, bytesDone, TotalBytes);
        FilePcWidth = figures.FilePcWidth;
        TotalPcWidth = figures.TotalPcWidth;
        Synchronize([this] { ShowProgress(); });
        if (now - jobStart > EstimateAfterMs) {
            SecondsLeft =
                ComputeSecondsLeft(now - jobStart, bytesDone + figures.FileDone, TotalBytes);
            Synchronize([this] { ShowTimeRemaining(); });
        }
    }
}

void trdConversion::ReportError(std::string line) {
    rowFailed_ = true;
    ErrorText = std::move(line);
    Synchronize([this] { AddError(); });
}

void trdConversion::Reached(RowStage stage) const {
    if (stageHook_) {
        stageHook_(stage);
    }
}

void trdConversion::ShowNextFile() {
    host_.SetFileBarWidth(0);
    const uint32_t rows = host_.RowCount();
    host_.SetCounterText("Converted " + std::to_string(FileIndex) + " of " + std::to_string(rows));
    if (FileIndex >= rows) {
        DestFile.clear();
        SourceFile.clear();
        return;
    }
    host_.SelectRow(FileIndex);
    SourceFile = host_.InputPath(FileIndex);
    DestFile = host_.OutputPath(FileIndex);
    MayReplaceDest = host_.MayReplace(DestFile);
    host_.SetWritingText("Writing '" + DestFile + "'");
}

void trdConversion::AddError() {
    host_.AddErrorLine(ErrorText);
}

void trdConversion::ShowProgress() {
    FilePcWidth = ClampBarWidth(FilePcWidth);
    TotalPcWidth = ClampBarWidth(TotalPcWidth);
    host_.SetTitle(ProgressTitle(TotalPcWidth));
    host_.SetFileBarWidth(FilePcWidth);
    host_.SetTotalBarWidth(TotalPcWidth);
}

void trdConversion::ShowTimeRemaining() {
    host_.SetTimeRemainingText(TimeRemainingText(SecondsLeft));
    host_.SetSecondsLeft(SecondsLeft);
}

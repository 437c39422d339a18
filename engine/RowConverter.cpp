#include "engine/RowConverter.h"

#include <malloc.h>

#include <chrono>
#include <new>
#include <vector>

#include "engine/ObserverGroup.h"
#include "engine/OutputTags.h"
#include "engine/ProgressFigures.h"
#include "system/FileRoutines.h"

namespace {
constexpr uint32_t ProgressIntervalMs = 500;
// Each file allocates and frees about a megabyte of codec state. Fixed thresholds keep that
// memory for the next file: the allocator's own, which move with the job, may hand it back to
// the system after every file, to be faulted in again.
constexpr int KeptFreeBytes = 16 << 20;
constexpr int MappedFromBytes = 4 << 20;
} // namespace

// The row being converted and what is known of it so far.
struct RowConverter::Row {
    const RowRequest& request;
    RowReporter& reporter;
    const StopCheck& stop;
    bool failed = false;
    RowValues values = {};

    void Fail(const std::string& line) {
        failed = true;
        reporter.Line(line);
    }
};

RowConverter::RowConverter(const ConversionSettings& settings, const JobEnvironment& environment,
                           SourceFactory createSource, TickSource ticks)
    : settings_(settings), environment_(environment), createSource_(std::move(createSource)),
      ticks_(std::move(ticks)) {}

uint32_t RowConverter::SystemTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void RowConverter::KeepMemoryBetweenFiles() {
    mallopt(M_TRIM_THRESHOLD, KeptFreeBytes);
    mallopt(M_MMAP_THRESHOLD, MappedFromBytes);
}

RowOutcome RowConverter::Convert(const RowRequest& request, RowReporter& reporter,
                                 const StopCheck& stop) {
    Row row{request, reporter, stop};
    const RowOutcome outcome = Guarded(row, [&] { return ConvertRow(row); });
    reporter.Done(outcome, row.values);
    return outcome;
}

RowOutcome RowConverter::Finish(const RowRequest& request, PendingOutput pending,
                                const RowValues& values, RowReporter& reporter,
                                const StopCheck& stop) const {
    Row row{request, reporter, stop, false, values};
    return Guarded(row, [&] {
        StagedOutput output(request.Output, std::move(pending));
        // What is at the name by now is replaced only when the job may replace it.
        const bool existed = request.MayReplace && EntryExists(request.Output);
        std::optional<OutputVerifier> verifier;
        if (settings_.Verify) {
            verifier = OutputVerifier::From(values);
        }
        if (!Commit(row, output, existed, verifier ? &*verifier : nullptr,
                    OutputVerifier::ReshapedIn(values))) {
            return row.failed ? RowOutcome::Failed : RowOutcome::Cancelled;
        }
        reporter.Wrote();
        return RowOutcome::Converted;
    });
}

RowOutcome RowConverter::Guarded(Row& row, const std::function<RowOutcome()>& step) {
    // The source and the unnamed output are gone with the unwound row: an old output is kept.
    try {
        return step();
    } catch (const std::bad_alloc&) {
        row.reporter.Line(ConversionErrorLine(ConversionError::ceMemory, row.request.Input) +
                          std::string(RemainingNotConverted));
    } catch (const std::exception& e) {
        row.reporter.Line("Unable to convert '" + row.request.Input + "' (" + e.what() + ")." +
                          std::string(RemainingNotConverted));
    }
    return RowOutcome::FailedStoppingJob;
}

RowOutcome RowConverter::ConvertRow(Row& row) {
    const std::string& destination = row.request.Output;
    // Something at the destination is replaced only when the job may replace it.
    const bool existed = EntryExists(destination);
    if (existed && !row.request.MayReplace) {
        row.Fail(UnexpectedOutputLine(destination, row.request.Input));
        return RowOutcome::Failed;
    }
    StagedOutput output(destination);
    row.reporter.Writes(output.LeftBehind());
    RowResult result;
    // Made per row, so that nothing measured on one file reaches the next.
    std::optional<OutputVerifier> verifier;
    if (settings_.Verify) {
        verifier.emplace(settings_.TargetFormat);
    }
    const std::unique_ptr<AudioObserver> observer = Observe(row.request.Input, verifier);
    std::optional<PartWindow> window;
    if (row.request.Part) {
        window.emplace(*row.request.Part);
    }
    const RowContext context{.Settings = settings_,
                             .OutputPath = output.Path(),
                             .Environment = environment_,
                             .Result = result,
                             .Observer = observer.get(),
                             .Window = window ? &*window : nullptr};
    ConversionError code = ConversionError::ceNone;
    std::unique_ptr<AudioSource> source = createSource_(row.request.Input.c_str(), context, code);
    if (!source) {
        row.Fail(UnsupportedTypeLine(row.request.Input));
        return RowOutcome::Failed;
    }
    if (code != ConversionError::ceNone) {
        // A sink whose file refused its first bytes (a full disk) failed at writing, not at
        // taking the format.
        const bool refusedWrite = code == ConversionError::ceOutput && result.WriteError;
        row.Fail(refusedWrite ? WriteErrorLine(destination, result.WriteErrno)
                              : ConversionErrorLine(code, row.request.Input));
        return RowOutcome::Failed; // nothing is put in place
    }
    Pump(row, *source, window ? &*window : nullptr);
    // Destroying the source finalises and closes the output, also after a cancellation.
    source.reset();
    row.values = std::move(result.Values);
    // A stopped row puts nothing in place: a new output is never named, an old one stays.
    if (row.stop()) {
        return RowOutcome::Cancelled;
    }
    ReportFailures(row, result);
    if (row.failed) {
        return RowOutcome::Failed;
    }
    if (settings_.ReplayGain == ReplayGainMode::Album) {
        return Hold(row, output, verifier, result.Reshaped);
    }
    if (!Commit(row, output, existed, verifier ? &*verifier : nullptr, result.Reshaped)) {
        return row.failed ? RowOutcome::Failed : RowOutcome::Cancelled;
    }
    row.reporter.Wrote();
    return RowOutcome::Converted;
}

void RowConverter::Pump(Row& row, AudioSource& source, const PartWindow* window) {
    uint32_t lastShown = ticks_();
    row.reporter.Progress(0, lastShown);
    for (bool first = true;; first = false) {
        const bool more = source.Pump();
        if (first) {
            Reached(Stage::Writing);
        }
        // The rest of the input after the part is not decoded.
        if (!more || row.stop() || (window && window->Passed())) {
            return;
        }
        const uint32_t now = ticks_();
        if (now - lastShown <= ProgressIntervalMs) {
            continue;
        }
        lastShown = now;
        int32_t progress[2] = {0, 0};
        source.GetProgress(progress);
        row.reporter.Progress(FilePercent(progress[0], progress[1]), now);
    }
}

void RowConverter::ReportFailures(Row& row, const RowResult& result) {
    const ConversionError inputError = result.InputError;
    if (result.WriteError) {
        row.Fail(WriteErrorLine(row.request.Output, result.WriteErrno));
    }
    if (inputError != ConversionError::ceNone) {
        row.Fail(ConversionErrorLine(inputError, row.request.Input));
    }
    if (result.ProtectedInput) {
        row.Fail(ProtectedInputLine(row.request.Input));
    }
}

std::unique_ptr<AudioObserver>
RowConverter::Observe(const std::string& input, std::optional<OutputVerifier>& verifier) const {
    std::vector<AudioObserverFactory> factories{environment_.Observers};
    if (verifier) {
        factories.emplace_back([&verifier](const ConversionSettings&, const std::string&) {
            return verifier->WatchInput();
        });
    }
    return ObserverGroup::Of(std::move(factories))(settings_, input);
}

RowOutcome RowConverter::Hold(Row& row, StagedOutput& output,
                              const std::optional<OutputVerifier>& verifier, bool reshaped) {
    if (verifier) {
        verifier->PutInto(row.values, reshaped);
    }
    row.reporter.Pending(output.Hold());
    return RowOutcome::Converted;
}

bool RowConverter::Verified(Row& row, const StagedOutput& output, const OutputVerifier& verifier,
                            bool reshaped) const {
    if (environment_.Written) {
        environment_.Written(output.Fd());
    }
    Reached(Stage::Verifying);
    row.reporter.Verifying();
    const std::string cause =
        verifier.Check(output.Path(), row.request.Output, settings_, reshaped, environment_);
    if (!cause.empty()) {
        row.Fail(VerificationFailedLine(row.request.Output, cause));
    }
    return cause.empty();
}

// False when the row failed or was stopped before its output took its place.
bool RowConverter::Commit(Row& row, StagedOutput& output, bool existed,
                          const OutputVerifier* verifier, bool reshaped) const {
    Reached(Stage::Tagging);
    // The input's tags are read before the output may take its place (it may be the input
    // itself) and go into the new version before anyone can see it.
    const OutputTags tags(row.request.Input, settings_, row.values,
                          row.request.Part ? &*row.request.Part : nullptr);
    tags.WriteTo(output.Fd());
    for (const std::string& line : tags.Lines()) {
        row.reporter.Line(line);
    }
    // The file as it will be named, tags and all.
    if (verifier && !Verified(row, output, *verifier, reshaped)) {
        return false;
    }
    // Asked again at the last moment: a stop that came while tagging (or a worker's parent gone
    // meanwhile) still keeps the output from its name.
    if (row.stop()) {
        return false;
    }
    Reached(Stage::Committing);
    bool replace = existed;
    if (!existed) {
        switch (output.LinkIn()) {
        case StagedOutput::LinkResult::Linked:
            return true;
        case StagedOutput::LinkResult::Taken:
            // Someone else's file appeared meanwhile: it stays, unless any may be replaced.
            replace = row.request.MayReplace;
            if (!replace) {
                row.Fail(UnexpectedOutputLine(row.request.Output, row.request.Input));
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
    row.Fail(WriteErrorLine(row.request.Output, output.Error()));
    return false;
}

void RowConverter::Reached(Stage stage) const {
    if (stageHook_) {
        stageHook_(stage);
    }
}

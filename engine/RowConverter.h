#pragma once
// Converts one row: creates its output without a name, pumps the source into it, and puts it in
// place only when whole (a new output linked in, an old one replaced), with the input's tags.
// Every failure becomes a line of the row. Runs on whatever thread or process converts the row;
// the job around it (order, claims, counts) is the controller's.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/OutputVerifier.h"
#include "engine/RowContext.h"
#include "engine/RowReporter.h"
#include "engine/RowRequest.h"
#include "engine/StagedOutput.h"

class RowConverter {
public:
    using SourceFactory = std::function<std::unique_ptr<AudioSource>(const char*, const RowContext&,
                                                                     ConversionError&)>;
    // A millisecond tick count that wraps at 2^32.
    using TickSource = std::function<uint32_t()>;
    // The moments of a row at which a process may be stopped from outside; tests kill the process
    // there to prove that no moment leaves a half-written output at its name.
    enum class Stage { Writing, Tagging, Verifying, Committing };
    using StageHook = std::function<void(Stage)>;
    // Asked between two blocks and once more before the output takes its name: true stops the
    // row, which is then cancelled and leaves nothing at the output's name.
    using StopCheck = std::function<bool()>;

    // settings and environment must outlive the converter. The front end passes the source
    // factory (OpenAudioSource), which keeps the engine free of the sources it drives.
    RowConverter(const ConversionSettings& settings, const JobEnvironment& environment,
                 SourceFactory createSource, TickSource ticks = SystemTicks);
    // Called at each stage of every row.
    void SetStageHook(StageHook hook) { stageHook_ = std::move(hook); }

    // Converts the row, telling reporter as it goes (Done last, with the outcome it returns).
    // With album gains, a converted row's output is handed to reporter as pending instead of
    // taking its name.
    RowOutcome Convert(const RowRequest& request, RowReporter& reporter, const StopCheck& stop);
    // Puts a pending output in place as Convert would have: tags (with values, its album's among
    // them), the check, the name. Tells reporter its lines and Wrote, not Done. May run on another
    // thread than Convert, at the same time.
    RowOutcome Finish(const RowRequest& request, PendingOutput pending, const RowValues& values,
                      RowReporter& reporter, const StopCheck& stop) const;

    static uint32_t SystemTicks();
    // Makes the process keep the memory of one file's codecs for the next file. For processes
    // that do nothing but convert: a window would hold on to that memory between jobs.
    static void KeepMemoryBetweenFiles();

private:
    struct Row;
    // What step returns; a failure that ends the job when it throws.
    static RowOutcome Guarded(Row& row, const std::function<RowOutcome()>& step);
    RowOutcome ConvertRow(Row& row);
    // Stops once the window's part has gone by.
    void Pump(Row& row, AudioSource& source, const PartWindow* window);
    void ReportFailures(Row& row, const RowResult& result);
    // The row's observer: the environment's, and the verifier's when outputs are verified.
    std::unique_ptr<AudioObserver> Observe(const std::string& input,
                                           std::optional<OutputVerifier>& verifier) const;
    // Hands the output over unnamed, with what Finish needs to check it.
    static RowOutcome Hold(Row& row, StagedOutput& output,
                           const std::optional<OutputVerifier>& verifier, bool reshaped);
    bool Commit(Row& row, StagedOutput& output, bool existed, const OutputVerifier* verifier,
                bool reshaped) const;
    // False, with the row failed, when the output does not hold what was meant.
    bool Verified(Row& row, const StagedOutput& output, const OutputVerifier& verifier,
                  bool reshaped) const;
    void Reached(Stage stage) const;

    const ConversionSettings& settings_;
    const JobEnvironment& environment_;
    SourceFactory createSource_;
    TickSource ticks_;
    StageHook stageHook_;
};

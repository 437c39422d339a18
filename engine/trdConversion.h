#pragma once
// The worker of a conversion job: converts every row of the host's conversion list, in order,
// into the target format, showing progress and collecting one error line per failure. It touches
// the host only through synchronised steps; it does not know which host it serves.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/CLReadDecodeBase.h"
#include "engine/ConversionError.h"
#include "engine/ConversionHost.h"
#include "engine/OutputClaims.h"
#include "engine/RowContext.h"
#include "engine/StagedOutput.h"
#include "engine/WorkerThread.h"

class trdConversion final : public WorkerThread {
public:
    // A millisecond tick count that wraps at 2^32.
    using TickSource = std::function<uint32_t()>;
    using SourceFactory = std::function<std::unique_ptr<CLReadDecodeBase>(
        const char*, const RowContext&, ConversionError&)>;

    // settings: the job's choices, read-only while it runs; environment: the process's codec
    // modules and reads. Both must outlive the worker. totalBytes: the sum of the input sizes (0
    // counts as 1). Unless createSuspended, the thread starts at once; the calling thread is the
    // host's. The front end passes the source factory (CreateFileInput), which keeps the engine
    // free of the sources it drives.
    trdConversion(ConversionHost& host, const ConversionSettings& settings,
                  const JobEnvironment& environment, bool createSuspended, uint64_t totalBytes,
                  SourceFactory createSource);
    // For tests: another clock too.
    trdConversion(ConversionHost& host, const ConversionSettings& settings,
                  const JobEnvironment& environment, bool createSuspended, uint64_t totalBytes,
                  TickSource ticks, SourceFactory createSource);
    ~trdConversion() override;

    // The moments of a row at which a process may be stopped from outside; tests kill the process
    // there to prove that no moment leaves a half-written output at its name.
    enum class RowStage { Writing, Tagging, Committing };
    using StageHook = std::function<void(RowStage)>;
    // Called on the worker's thread at each stage; set before the thread starts.
    void SetStageHook(StageHook hook) { stageHook_ = std::move(hook); }

    static uint32_t SystemTicks();

protected:
    void Execute() override;

private:
    ConversionHost::RowOutcome ConvertOneFile(uint64_t& bytesDone, uint32_t jobStart);
    // Ends the job after a failure that left the current row unfinished.
    void StopJob(const std::string& line);
    // The per-file failures the source and sink raised, each as its line.
    void ReportRowFailures(const RowResult& result);
    // Writes the tags into the finished output and puts it in place; false when it was not.
    bool CommitOutput(StagedOutput& output, bool existed, bool cancelled);
    void PumpSource(CLReadDecodeBase& source, uint64_t fileSize, uint64_t bytesDone,
                    uint32_t jobStart);
    void ReportError(std::string line);
    void Reached(RowStage stage) const;

    // Steps run on the host's thread.
    void ShowNextFile();
    void AddError();
    void ShowProgress();
    void ShowTimeRemaining();

    ConversionHost& host_;
    const ConversionSettings& settings_;
    const JobEnvironment& environment_;
    TickSource ticks_;
    SourceFactory createSource_;
    StageHook stageHook_;

    std::string DestFile;
    // The job agreed to replace a file at DestFile (asked on the host's thread with DestFile).
    bool MayReplaceDest = false;
    std::string SourceFile;
    uint32_t FileIndex = 0;
    std::string ErrorText;
    int32_t FilePcWidth = 0;
    int32_t TotalPcWidth = 0;
    uint64_t TotalBytes;
    int32_t SecondsLeft = 0;

    // The outputs this job has written, and each row's input, to name the first writer.
    OutputClaims written_;
    std::vector<std::string> rowInputs_;
    bool rowFailed_ = false;
};

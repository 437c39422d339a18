#pragma once
// The messages between brindlex-convert and its worker processes (see WorkerChannel). The first
// field names the message; the fields after it are listed with each.
#include <utility>

#include "engine/RowOutcome.h"

namespace WorkerMessages {
// To the worker: the job's settings, once (SettingsFields) ...
inline constexpr const char* Settings = "settings";
// ... when the job's rows are observed, once, the name of their observers (AudioObserverKinds) ...
inline constexpr const char* Observe = "observe";
// ... then one file at a time: input path, output path, whether a file found at the output may
// be replaced (one of the two below), and for a row of a part of its input that part (PartFields).
inline constexpr const char* File = "file";
inline constexpr const char* MayReplace = "replace";
inline constexpr const char* Keep = "keep";

// From the worker, about the file it converts: the file to remove should the worker die while
// writing it (a named temporary file beside the output; empty when the new version has no name),
// before it opens the input ...
inline constexpr const char* Writes = "writes";
// ... the share of the file done, 0 to 100 ...
inline constexpr const char* Progress = "progress";
// ... one error line ...
inline constexpr const char* Line = "line";
// ... that the output is being checked ...
inline constexpr const char* Verifying = "verifying";
// ... that the output is whole and waits, unnamed, for its album: the output's descriptor comes
// with the message (SCM_RIGHTS), and its one field is its "BRC…" name where it has one ...
inline constexpr const char* Pending = "pending";
// ... that the output now holds this file's result ...
inline constexpr const char* Wrote = "wrote";
// ... and last how the file ended, by the name of its outcome, followed by the values measured on
// its audio, a name and a number each (ValueFields); none when nothing measured it.
inline constexpr const char* Done = "done";

// The outcomes by name.
inline constexpr std::pair<RowOutcome, const char*> Outcomes[] = {
    {RowOutcome::Converted, "converted"},
    {RowOutcome::Failed, "failed"},
    {RowOutcome::FailedStoppingJob, "failed-stopping-job"},
    {RowOutcome::Cancelled, "cancelled"},
    // The worker had been told to stop before the file began.
    {RowOutcome::Unstarted, "unstarted"},
};
} // namespace WorkerMessages

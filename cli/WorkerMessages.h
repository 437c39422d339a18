#pragma once
// The messages between brindlex-convert and its worker processes (see WorkerChannel). The first
// field names the message; the fields after it are listed with each.
namespace WorkerMessages {
// To the worker: the job's settings, once (SettingsFields) ...
inline constexpr const char* Settings = "settings";
// ... then one file at a time: input path, output path, and whether a file found at the output
// may be replaced (one of the two below).
inline constexpr const char* File = "file";
inline constexpr const char* MayReplace = "replace";
inline constexpr const char* Keep = "keep";

// From the worker, about the file it converts: the file to remove should the worker die while
// writing it (a named temporary file beside the output; empty when the new version has no name),
// before it opens the input ...
inline constexpr const char* Writes = "writes";
// ... the width of the file's bar, 0 to 259 ...
inline constexpr const char* Bar = "bar";
// ... one error line ...
inline constexpr const char* Line = "line";
// ... that the output now holds this file's result ...
inline constexpr const char* Wrote = "wrote";
// ... and last how the file ended, one of the four below.
inline constexpr const char* Done = "done";

inline constexpr const char* Converted = "converted";
inline constexpr const char* Failed = "failed";
inline constexpr const char* Cancelled = "cancelled";
// The worker had been told to stop before the file began.
inline constexpr const char* Unstarted = "unstarted";
} // namespace WorkerMessages

#pragma once
// Everything the conversion worker reads from or shows to its host: the options window or the
// command-line front end. The worker calls these only on the host's thread (through its
// synchronised steps), so implementations need no locks.
#include <cstdint>
#include <string>

class ConversionHost {
public:
    virtual ~ConversionHost() = default;

    // The conversion list: its row count and each row's full input path.
    virtual uint32_t RowCount() const = 0;
    virtual std::string InputPath(uint32_t row) const = 0;
    // Highlights the row being converted.
    virtual void SelectRow(uint32_t row) = 0;

    // The row's output path, after MakeOutputPath and the rename table: what the host's JobPlan
    // holds for the row.
    virtual std::string OutputPath(uint32_t row) const = 0;
    // Whether a file found at an output path may be replaced: the user agreed to replace it (it
    // was listed before the job) or to replace any. A file nobody was asked about is kept.
    virtual bool MayReplace(const std::string& outputPath) const = 0;

    // The counter ("Converted 3 of 12"), the line naming the output being written, and the
    // time remaining.
    virtual void SetCounterText(const std::string& text) = 0;
    virtual void SetWritingText(const std::string& text) = 0;
    virtual void SetTimeRemainingText(const std::string& text) = 0;
    // Widths of the current file's and the whole job's bars, 0 to 259 pixels.
    virtual void SetFileBarWidth(int32_t width) = 0;
    virtual void SetTotalBarWidth(int32_t width) = 0;
    // The application title, which carries the job's percentage.
    virtual void SetTitle(const std::string& text) = 0;
    // Appends one line to the errors list.
    virtual void AddErrorLine(const std::string& line) = 0;

    // How a row ended. Hosts that count results or word the time themselves override these.
    enum class RowOutcome { Converted, Failed, Cancelled };
    virtual void RowDone(uint32_t row, RowOutcome outcome) {
        (void)row;
        (void)outcome;
    }
    // The row's output now holds what the row wrote; no later row of the job may replace it.
    virtual void OutputWritten(uint32_t row) { (void)row; }
    // The estimate behind SetTimeRemainingText, in seconds.
    virtual void SetSecondsLeft(int32_t seconds) { (void)seconds; }
};

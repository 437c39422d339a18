#pragma once
// The command line's side of a conversion job that converts one file after another: it holds the
// planned rows, shows what the worker reports through a JobDisplay and counts how each row ended.
// Errors are collected for the end.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/JobDisplay.h"
#include "cli/ReplaceableOutputs.h"
#include "engine/ConversionHost.h"
#include "engine/JobPlan.h"

class CliHost : public ConversionHost {
public:
    struct Display {
        bool interactive = false; // a terminal: redraw the block in place
        bool quiet = false;
        // Outputs go below sub-folders of the output folder, made as each row starts.
        bool makeFolders = false;
    };
    struct Counts {
        std::size_t converted = 0;
        std::size_t failed = 0;
        std::size_t unfinished = 0; // rows cancelled, or never reached by a job that stopped
    };

    CliHost(std::vector<PlannedRow> rows, Display display, std::FILE* out);

    uint32_t RowCount() const override { return static_cast<uint32_t>(rows_.size()); }
    std::string InputPath(uint32_t row) const override { return rows_.at(row).Input; }
    std::string OutputPath(uint32_t row) const override { return rows_.at(row).Output; }
    void SelectRow(uint32_t row) override;
    bool MayReplace(const std::string& outputPath) const override;
    // The outputs the user agreed to replace; none until this is called.
    void AllowReplacing(ReplaceableOutputs replaceable) { replaceable_ = std::move(replaceable); }

    void SetCounterText(const std::string& text) override { display_.SetCounter(text); }
    void SetWritingText(const std::string& text) override { display_.SetWriting(0, text); }
    void SetTimeRemainingText(const std::string&) override {}
    void SetSecondsLeft(int32_t seconds) override { display_.SetSecondsLeft(seconds); }
    void SetFileBarWidth(int32_t width) override { display_.SetFileBar(0, width); }
    void SetTotalBarWidth(int32_t width) override { display_.SetTotalBar(width); }
    // The window's title; the percentage is drawn from the total bar instead.
    void SetTitle(const std::string&) override {}
    void AddErrorLine(const std::string& line) override;
    void RowDone(uint32_t row, RowOutcome outcome) override;

    const std::vector<std::string>& Errors() const { return errors_; }
    Counts Count() const;
    // The job is being cancelled: the total bar stays where it is.
    void Cancelling() { display_.Cancelling(); }
    // Draws the progress block again when something changed since the last time.
    void Refresh() { display_.Refresh(); }
    // Leaves the progress block on screen and moves below it.
    void Finish() { display_.Finish(); }
    // Prints a line above the progress block.
    void Note(const std::string& line) { display_.Note(line); }

private:
    std::vector<PlannedRow> rows_;
    bool makeFolders_;
    JobDisplay display_;
    ReplaceableOutputs replaceable_;
    std::vector<std::string> errors_;
    Counts counts_;
};

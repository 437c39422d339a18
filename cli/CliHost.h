#pragma once
// The command line's side of a conversion job: it holds the conversion list and the destination,
// and shows what the worker reports on standard error. On a terminal it redraws a small block
// (counter, output being written, file and total bars, percentage, time remaining); otherwise it
// prints one line per file. Errors are collected for the end.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/ConversionHost.h"
#include "engine/JobPlan.h"

class CliHost : public ConversionHost {
public:
    CliHost(std::vector<PlannedRow> rows, bool interactive, std::FILE* out);

    uint32_t RowCount() const override { return static_cast<uint32_t>(rows_.size()); }
    std::string InputPath(uint32_t row) const override { return rows_.at(row).Input; }
    std::string OutputPath(uint32_t row) const override { return rows_.at(row).Output; }
    void SelectRow(uint32_t) override {}

    void SetCounterText(const std::string& text) override;
    void SetWritingText(const std::string& text) override;
    void SetTimeRemainingText(const std::string& text) override;
    void SetFileBarWidth(int32_t width) override;
    void SetTotalBarWidth(int32_t width) override;
    void SetTitle(const std::string& text) override;
    void AddErrorLine(const std::string& line) override;

    const std::vector<std::string>& Errors() const { return errors_; }
    // Draws the progress block again when something changed since the last time.
    void Refresh();
    // Leaves the progress block on screen and moves below it.
    void Finish();
    // Prints a line above the progress block.
    void Note(const std::string& line);

private:
    std::string Bar(int32_t width) const;
    std::string Fit(const std::string& text) const;

    std::vector<PlannedRow> rows_;
    bool interactive_;
    std::FILE* out_;

    std::string counter_, writing_, timeLeft_, title_;
    int32_t fileBar_ = 0;
    int32_t totalBar_ = 0;
    std::vector<std::string> errors_;
    bool changed_ = false;
    int drawnLines_ = 0;
};

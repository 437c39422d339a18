#pragma once
// The host of the conversion worker inside a worker process: a conversion list of one file, given
// by the parent, and everything the worker shows sent back to the parent over the channel. The
// parent draws the display, keeps the error lines in order and counts the results.
#include <optional>
#include <string>

#include "cli/WorkerChannel.h"
#include "engine/ConversionHost.h"

class WorkerHost : public ConversionHost {
public:
    // mayReplace: the parent lets a file found at the output be replaced.
    WorkerHost(WorkerChannel& channel, std::string input, std::string output, bool mayReplace);

    uint32_t RowCount() const override { return 1; }
    std::string InputPath(uint32_t) const override { return input_; }
    std::string OutputPath(uint32_t) const override { return output_; }
    // The parent makes the output's folder before it hands the file over.
    void SelectRow(uint32_t) override {}
    bool MayReplace(const std::string& outputPath) const override {
        return mayReplace_ && outputPath == output_;
    }

    void SetCounterText(const std::string&) override {}
    void SetWritingText(const std::string&) override {}
    void SetTimeRemainingText(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void SetTotalBarWidth(int32_t) override {}
    void SetFileBarWidth(int32_t width) override;
    void AddErrorLine(const std::string& line) override;
    void RowDone(uint32_t row, RowOutcome outcome) override;
    void OutputWritten(uint32_t row) override;

    // How the file ended: "converted", "failed", "cancelled", or "unstarted" when the worker was
    // stopped before it began.
    std::string Outcome() const;

private:
    WorkerChannel& channel_;
    const std::string input_;
    const std::string output_;
    const bool mayReplace_;
    int32_t fileBar_ = -1;
    std::optional<RowOutcome> outcome_;
};

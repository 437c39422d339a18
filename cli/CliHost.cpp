#include "cli/CliHost.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/OutputFolder.h"
#include "cli/TerminalText.h"
#include "engine/ProgressFigures.h"
#include "system/FileNames.h"

namespace {
constexpr int BarChars = 30;
constexpr std::size_t DefaultColumns = 80;
} // namespace

CliHost::CliHost(std::vector<PlannedRow> rows, Display display, std::FILE* out)
    : rows_(std::move(rows)), display_(display), out_(out) {}

void CliHost::SelectRow(uint32_t row) {
    if (!display_.makeFolders) {
        return;
    }
    // The sub-folder of the kept tree is made just before its first output is written.
    const std::string folder = GetFolderPart(rows_.at(row).Output);
    if (const std::string failure = PrepareOutputFolder(folder); !failure.empty()) {
        AddErrorLine("Unable to use the output folder: " + failure + ".");
    }
}

void CliHost::SetCounterText(const std::string& text) {
    counter_ = text;
    changed_ = true;
}

void CliHost::SetWritingText(const std::string& text) {
    writing_ = text;
    changed_ = true;
    if (!display_.interactive && !display_.quiet) {
        // The counter tells how many are done; the output names the file now being written.
        std::fprintf(out_, "%s: %s\n", counter_.c_str(), text.c_str());
        std::fflush(out_);
    }
}

void CliHost::SetSecondsLeft(int32_t seconds) {
    timeLeft_ = ShortDuration(seconds) + " left";
    changed_ = true;
}

void CliHost::SetFileBarWidth(int32_t width) {
    fileBar_ = width;
    changed_ = true;
}

void CliHost::SetTotalBarWidth(int32_t width) {
    // The worker fills the total bar at the end of every job; a cancelled job did not get there.
    if (!cancelling_) {
        totalBar_ = width;
        changed_ = true;
    }
}

void CliHost::AddErrorLine(const std::string& line) {
    errors_.push_back(line);
}

void CliHost::RowDone(uint32_t, RowOutcome outcome) {
    if (outcome == RowOutcome::Converted) {
        ++counts_.converted;
    } else if (outcome == RowOutcome::Failed) {
        ++counts_.failed;
    }
}

CliHost::Counts CliHost::Count() const {
    Counts counts = counts_;
    counts.unfinished = rows_.size() - counts.converted - counts.failed;
    return counts;
}

void CliHost::Cancelling() {
    cancelling_ = true;
}

std::string CliHost::Bar(int32_t width) const {
    const int filled = std::clamp(width, 0, FullBarWidth) * BarChars / FullBarWidth;
    std::string bar(BarChars + 2, '-');
    bar.front() = '[';
    bar.back() = ']';
    std::fill_n(bar.begin() + 1, filled, '#');
    return bar;
}

std::size_t CliHost::Columns() const {
    winsize size{};
    const bool known = ioctl(fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 8;
    // One column less than the terminal, so a full line never wraps.
    return (known ? size.ws_col : DefaultColumns) - 1;
}

void CliHost::Refresh() {
    if (!display_.interactive || display_.quiet || !changed_) {
        return;
    }
    changed_ = false;
    std::string block;
    if (drawnLines_ > 0) {
        block += "\x1b[" + std::to_string(drawnLines_) + "F"; // back to the block's first line
    }
    const std::string percent =
        std::to_string(std::clamp(totalBar_, 0, FullBarWidth) * 100 / FullBarWidth) + "%";
    const std::size_t columns = Columns();
    const std::string lines[] = {KeepStart(counter_, columns), KeepEnd(writing_, columns),
                                 KeepStart("File  " + Bar(fileBar_), columns),
                                 KeepStart("Total " + Bar(totalBar_) + " " + percent +
                                               (timeLeft_.empty() ? "" : "  " + timeLeft_),
                                           columns)};
    for (const std::string& line : lines) {
        block += line + "\x1b[K\n";
    }
    drawnLines_ = 4;
    std::fputs(block.c_str(), out_);
    std::fflush(out_);
}

void CliHost::Finish() {
    changed_ = true;
    Refresh();
    drawnLines_ = 0;
}

void CliHost::Note(const std::string& line) {
    if (display_.quiet) {
        return;
    }
    if (display_.interactive && drawnLines_ > 0) {
        std::fprintf(out_, "\x1b[%dF\x1b[J", drawnLines_);
        drawnLines_ = 0;
        changed_ = true;
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    Refresh();
}

#include "cli/JobDisplay.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/TerminalText.h"
#include "engine/ProgressFigures.h"

namespace {
constexpr int BarChars = 30;
constexpr std::size_t DefaultColumns = 80;
} // namespace

JobDisplay::JobDisplay(Mode mode, std::FILE* out, std::size_t files)
    : mode_(mode), out_(out), files_(std::max<std::size_t>(files, 1)) {}

void JobDisplay::SetCounter(const std::string& text) {
    counter_ = text;
    changed_ = true;
}

void JobDisplay::SetWriting(std::size_t file, const std::string& text) {
    files_.at(file).writing = text;
    changed_ = true;
    if (!mode_.interactive && !mode_.quiet) {
        // The counter tells how many are done; the output names the file now being written.
        std::fprintf(out_, "%s: %s\n", counter_.c_str(), text.c_str());
        std::fflush(out_);
    }
}

void JobDisplay::SetFileBar(std::size_t file, int32_t width) {
    files_.at(file).bar = width;
    changed_ = true;
}

void JobDisplay::SetTotalBar(int32_t width) {
    // The worker fills the total bar at the end of every job; a cancelled job did not get there.
    if (!cancelling_) {
        totalBar_ = width;
        changed_ = true;
    }
}

void JobDisplay::SetSecondsLeft(int32_t seconds) {
    timeLeft_ = ShortDuration(seconds) + " left";
    changed_ = true;
}

void JobDisplay::Cancelling() {
    cancelling_ = true;
}

std::string JobDisplay::Bar(int32_t width) const {
    const int filled = std::clamp(width, 0, FullBarWidth) * BarChars / FullBarWidth;
    std::string bar(BarChars + 2, '-');
    bar.front() = '[';
    bar.back() = ']';
    std::fill_n(bar.begin() + 1, filled, '#');
    return bar;
}

std::size_t JobDisplay::Columns() const {
    winsize size{};
    const bool known = ioctl(fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 8;
    // One column less than the terminal, so a full line never wraps.
    return (known ? size.ws_col : DefaultColumns) - 1;
}

void JobDisplay::Refresh() {
    if (!mode_.interactive || mode_.quiet || !changed_) {
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
    std::vector<std::string> lines{KeepStart(counter_, columns)};
    for (const File& file : files_) {
        lines.push_back(KeepEnd(file.writing, columns));
        lines.push_back(KeepStart("File  " + Bar(file.bar), columns));
    }
    lines.push_back(KeepStart("Total " + Bar(totalBar_) + " " + percent +
                                  (timeLeft_.empty() ? "" : "  " + timeLeft_),
                              columns));
    for (const std::string& line : lines) {
        block += line + "\x1b[K\n";
    }
    drawnLines_ = static_cast<int>(lines.size());
    std::fputs(block.c_str(), out_);
    std::fflush(out_);
}

void JobDisplay::Finish() {
    changed_ = true;
    Refresh();
    drawnLines_ = 0;
}

void JobDisplay::Note(const std::string& line) {
    if (mode_.quiet) {
        return;
    }
    if (mode_.interactive && drawnLines_ > 0) {
        std::fprintf(out_, "\x1b[%dF\x1b[J", drawnLines_);
        drawnLines_ = 0;
        changed_ = true;
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    Refresh();
}

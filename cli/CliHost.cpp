#include "cli/CliHost.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "engine/ProgressFigures.h"

namespace {
constexpr int BarChars = 30;
}

CliHost::CliHost(std::vector<PlannedRow> rows, bool interactive, std::FILE* out)
    : rows_(std::move(rows)), interactive_(interactive), out_(out) {}

void CliHost::SetCounterText(const std::string& text) {
    counter_ = text;
    changed_ = true;
}

void CliHost::SetWritingText(const std::string& text) {
    writing_ = text;
    changed_ = true;
    if (!interactive_) {
        // The counter tells how many are done; the output names the file now being written.
        std::fprintf(out_, "%s: %s\n", counter_.c_str(), text.c_str());
        std::fflush(out_);
    }
}

void CliHost::SetTimeRemainingText(const std::string& text) {
    timeLeft_ = text;
    changed_ = true;
}

void CliHost::SetFileBarWidth(int32_t width) {
    fileBar_ = width;
    changed_ = true;
}

void CliHost::SetTotalBarWidth(int32_t width) {
    totalBar_ = width;
    changed_ = true;
}

void CliHost::SetTitle(const std::string& text) {
    title_ = text;
    changed_ = true;
}

void CliHost::AddErrorLine(const std::string& line) {
    errors_.push_back(line);
}

std::string CliHost::Bar(int32_t width) const {
    const int filled = std::clamp(width, 0, FullBarWidth) * BarChars / FullBarWidth;
    std::string bar(BarChars + 2, '-');
    bar.front() = '[';
    bar.back() = ']';
    std::fill_n(bar.begin() + 1, filled, '#');
    return bar;
}

std::string CliHost::Fit(const std::string& text) const {
    winsize size{};
    const int fd = fileno(out_);
    const std::size_t columns =
        ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 8 ? size.ws_col - 1 : 79;
    if (text.size() <= columns) {
        return text;
    }
    // Keep the end of a long line: the file name matters more than the folders above it.
    return "..." + text.substr(text.size() - (columns - 3));
}

void CliHost::Refresh() {
    if (!interactive_ || !changed_) {
        return;
    }
    changed_ = false;
    std::string block;
    if (drawnLines_ > 0) {
        block += "\x1b[" + std::to_string(drawnLines_) + "F"; // back to the block's first line
    }
    const std::string lines[] = {counter_, writing_, "File  " + Bar(fileBar_),
                                 "Total " + Bar(totalBar_) + " " + title_ +
                                     (timeLeft_.empty() ? "" : "  " + timeLeft_)};
    for (const std::string& line : lines) {
        block += Fit(line) + "\x1b[K\n";
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
    if (interactive_ && drawnLines_ > 0) {
        std::fprintf(out_, "\x1b[%dF\x1b[J", drawnLines_);
        drawnLines_ = 0;
        changed_ = true;
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    Refresh();
}

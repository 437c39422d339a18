#pragma once
// What a command-line job shows on standard error while it runs. On a terminal a small block is
// redrawn in place: the counter, then for each file being converted the output it writes and its
// bar, then the whole job's bar with the percentage and the time remaining, each line cut to the
// terminal's width. Otherwise one line is printed as each file starts. Quiet shows nothing.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class JobDisplay {
public:
    struct Mode {
        bool interactive = false; // a terminal: redraw the block in place
        bool quiet = false;
    };

    // files: how many files are converted at once; each has its place in the block.
    JobDisplay(Mode mode, std::FILE* out, std::size_t files = 1);

    void SetCounter(const std::string& text);
    // A file starts in place `file`: text names the output it writes.
    void SetWriting(std::size_t file, const std::string& text);
    // Bar widths from 0 to 259 pixels, as the worker computes them.
    void SetFileBar(std::size_t file, int32_t width);
    void SetTotalBar(int32_t width);
    void SetSecondsLeft(int32_t seconds);
    // The job is being cancelled: the total bar stays where it is.
    void Cancelling();

    // Draws the block again when something changed since the last time.
    void Refresh();
    // Leaves the block on screen and moves below it.
    void Finish();
    // Prints a line above the block.
    void Note(const std::string& line);

private:
    struct File {
        std::string writing;
        int32_t bar = 0;
    };

    std::string Bar(int32_t width) const;
    std::size_t Columns() const;

    Mode mode_;
    std::FILE* out_;
    std::string counter_, timeLeft_;
    std::vector<File> files_;
    int32_t totalBar_ = 0;
    bool cancelling_ = false;
    bool changed_ = false;
    int drawnLines_ = 0;
};

#pragma once
// Lines about the window's progress, for the process tests and the bench, which watch the
// program from outside: written only when the environment variable BRINDLEX_REPORT names a file
// or a FIFO (nobody else sets it). Each line starts with the process id and is written with one
// write, so the lines of several processes never mix. A FIFO without a reader gets nothing and
// never blocks the program.
#include <optional>
#include <string>

class StartReport {
public:
    static std::optional<StartReport> FromEnvironment();

    void Line(const std::string& text) const;

private:
    explicit StartReport(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

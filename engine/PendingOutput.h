#pragma once
// A row's output written whole but not yet at its name: it waits for the rest of its album, whose
// gain goes into it first. The unnamed file's descriptor, or where the folder cannot make unnamed
// files, the descriptor and the "BRC…" name it has meanwhile, which goes with it should it never
// take its place. It may travel to another process (see WorkerChannel) and be finished there.
#include <cstdio>
#include <string>
#include <utility>

#include "system/UniqueFd.h"

class PendingOutput {
public:
    PendingOutput(UniqueFd file, std::string named)
        : file_(std::move(file)), named_(std::move(named)) {}
    PendingOutput(PendingOutput&& other) noexcept
        : file_(std::move(other.file_)), named_(std::exchange(other.named_, {})) {}
    PendingOutput& operator=(PendingOutput&&) = delete;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput() {
        if (!named_.empty()) {
            std::remove(named_.c_str());
        }
    }

    int Fd() const { return file_.Get(); }
    const std::string& Named() const { return named_; }
    // Gives up the file and its name to whoever finishes it.
    std::pair<UniqueFd, std::string> Release() {
        return {std::move(file_), std::exchange(named_, {})};
    }

private:
    UniqueFd file_;
    std::string named_;
};

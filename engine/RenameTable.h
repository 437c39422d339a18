#pragma once
// Outputs that the user redirected before a job: each entry maps an output path as formed by
// MakeOutputPath to the path chosen instead. Filled by the overwrite confirmation, read by the
// worker's next-file step on the host's thread.
#include <string>
#include <vector>

class RenameTable {
public:
    struct Entry {
        std::string OldPath;
        std::string NewPath;
    };

    void Clear() { entries_.clear(); }
    // Replaces the table by these entries, in this order.
    void Fill(std::vector<Entry> entries) { entries_ = std::move(entries); }
    std::size_t Count() const { return entries_.size(); }
    const std::vector<Entry>& Entries() const { return entries_; }

    // The first entry whose old path equals path exactly replaces it: on Linux "Song.wav" and
    // "song.wav" are two files.
    void Apply(std::string& path) const;

private:
    std::vector<Entry> entries_;
};

// The process-wide table; empty at start-up.
RenameTable& Renames();

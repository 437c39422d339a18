#pragma once
// The outputs that rows of one job write, each with the row that wrote it first. An output is
// recognised by its path (spelled the same after normalising) and, once the file exists, by the
// file itself, so two spellings of one file (a link, or a file system that ignores letter case)
// count as one output.
#include <sys/types.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>

class OutputClaims {
public:
    // The row that claimed this output first, if any.
    std::optional<std::size_t> Owner(const std::string& path) const;
    // Records row as the writer of path unless the output was claimed before.
    void Claim(const std::string& path, std::size_t row);

private:
    using FileId = std::pair<dev_t, ino_t>;
    static std::string Key(const std::string& path);
    static std::optional<FileId> Identity(const std::string& path);

    std::map<std::string, std::size_t> byPath_;
    std::map<FileId, std::size_t> byFile_;
};

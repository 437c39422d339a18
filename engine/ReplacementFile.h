#pragma once
// The new version of an existing output, written beside it and moved over the old file in one
// rename once it is complete, so the destination always holds either the whole old file or the
// whole new one. Where the file system allows, the new version has no name until the end (a
// process killed meanwhile leaves nothing behind); elsewhere it is a "BRC…" file in the same
// folder. Deleted on destruction unless committed.
#include <string>

#include "system/UniqueFd.h"

class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& destination, const char* prefix = "BRC");
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // The path the new version is written to (for an unnamed file, its /proc/self/fd link);
    // whoever writes it closes it before Commit.
    const std::string& Name() const { return name_; }
    // Makes the written data durable, gives it the old file's permissions and renames it over the
    // destination; false on failure, the destination then being untouched.
    bool Commit();

private:
    bool OpenUnnamed(const std::string& folder);
    // Gives the unnamed file a "BRC…" name in the folder, for the rename; false when it cannot.
    bool LinkUnnamed();

    std::string destination_;
    std::string prefix_;
    std::string name_;   // what the sink opens
    std::string linked_; // the named file that is renamed over the destination
    UniqueFd unnamed_;   // the unnamed file, while there is one
};

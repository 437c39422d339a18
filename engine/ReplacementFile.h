#pragma once
// The new version of an existing output, written under a unique "BRC…" name in the same folder
// and moved over the old file in one rename once it is complete, so the destination always holds
// either the whole old file or the whole new one. Deleted on destruction unless committed.
#include <string>

class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& destination, const char* prefix = "BRC");
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // The path the new version is written to; whoever writes it closes it before Commit.
    const std::string& Name() const { return name_; }
    // Makes the written data durable and renames it over the destination; false on failure,
    // the destination then being untouched.
    bool Commit();

private:
    std::string destination_;
    std::string name_;
};

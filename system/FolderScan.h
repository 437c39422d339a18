#pragma once
// Enumerates the entries of one folder whose names match a pattern, like a find-first/find-next
// search: '*' matches any run of characters, '?' any one character, everything else itself
// (brackets and backslashes included). A pattern ending in ".*" also matches names without that
// dot, so "*.*" lists every entry. "." and ".." are never returned.
#include <dirent.h>

#include <memory>
#include <string>
#include <string_view>

class FolderScan {
public:
    // An empty folder searches the current folder.
    FolderScan(std::string_view pattern, std::string_view folder);
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    // Moves to the next matching entry; false when there is none or the folder cannot be read.
    bool Next();
    // Folder + the current entry's name; valid until the next call.
    const std::string& GetFullPath();
    const std::string& GetName() const { return name_; }
    // True when the current entry is a folder (or a link to one).
    bool IsFolder() const { return dir_ && isFolder_; }

    // The pattern rule above, exposed for the file routines and tests.
    static bool Matches(std::string_view pattern, std::string_view name);

private:
    struct DirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };

    bool Start();
    bool MatchesPattern(const char* name) const;
    bool EntryIsFolder(const dirent& entry) const;

    std::unique_ptr<DIR, DirCloser> dir_;
    bool started_ = false;
    std::string pattern_;
    std::string folder_;
    std::string fnPattern_;
    std::string fnPatternWithoutDotStar_;
    std::string name_;
    std::string fullPath_;
    bool isFolder_ = false;
};

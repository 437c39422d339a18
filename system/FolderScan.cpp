#include "system/FolderScan.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include "system/FileNames.h"

namespace {
// fnmatch knows only '*' and '?' once '[' stands for itself and '\' is taken literally.
std::string ToFnmatchPattern(std::string_view pattern) {
    std::string result;
    result.reserve(pattern.size());
    for (char c : pattern) {
        if (c == '[') {
            result += "[[]";
        } else {
            result += c;
        }
    }
    return result;
}

// "x.*" also finds "x", as a find-first search does.
std::string WithoutDotStar(std::string_view pattern) {
    return pattern.ends_with(".*") ? ToFnmatchPattern(pattern.substr(0, pattern.size() - 2)) : "";
}
} // namespace

FolderScan::FolderScan(std::string_view pattern, std::string_view folder)
    : pattern_(pattern), folder_(folder), fnPattern_(ToFnmatchPattern(pattern)),
      fnPatternWithoutDotStar_(WithoutDotStar(pattern)) {
    WithTrailingSlash(folder_);
}

bool FolderScan::Matches(std::string_view pattern, std::string_view name) {
    if (name.find('\0') != std::string_view::npos || pattern.find('\0') != std::string_view::npos) {
        return false;
    }
    return FolderScan(pattern, "").MatchesPattern(std::string(name).c_str());
}

bool FolderScan::MatchesPattern(const char* name) const {
    if (fnmatch(fnPattern_.c_str(), name, FNM_NOESCAPE) == 0) {
        return true;
    }
    return !fnPatternWithoutDotStar_.empty() &&
           fnmatch(fnPatternWithoutDotStar_.c_str(), name, FNM_NOESCAPE) == 0;
}

bool FolderScan::Start() {
    started_ = true;
    if (pattern_.empty() || pattern_.find('/') != std::string::npos ||
        pattern_.find('\0') != std::string::npos || folder_.find('\0') != std::string::npos) {
        return false;
    }
    dir_.reset(opendir(folder_.empty() ? "." : folder_.c_str()));
    return dir_ != nullptr;
}

bool FolderScan::EntryIsFolder(const dirent& entry) const {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return false;
    }
    // Links count as what they point at; a dangling link is a plain entry.
    struct stat st {};
    return fstatat(dirfd(dir_.get()), entry.d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool FolderScan::Next() {
    name_.clear();
    isFolder_ = false;
    if (!started_ ? !Start() : !dir_) {
        return false;
    }
    while (const dirent* entry = readdir(dir_.get())) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name == "." || name == ".." || !MatchesPattern(entry->d_name)) {
            continue;
        }
        name_ = name;
        isFolder_ = EntryIsFolder(*entry);
        return true;
    }
    return false;
}

const std::string& FolderScan::GetFullPath() {
    fullPath_ = folder_ + name_;
    return fullPath_;
}

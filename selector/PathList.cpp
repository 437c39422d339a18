#include "selector/PathList.h"

#include <algorithm>

void PathList::Append(std::string path) {
    ++counts_[path];
    entries_.push_back(std::move(path));
}

bool PathList::Contains(const std::string& path) const {
    return counts_.contains(path);
}

void PathList::Remove(const std::string& path) {
    if (counts_.erase(path) > 0) {
        std::erase(entries_, path);
    }
}

void PathList::RemoveWithPrefix(std::string_view prefix) {
    const auto removed = std::erase_if(
        entries_, [prefix](const std::string& entry) { return entry.starts_with(prefix); });
    if (removed > 0) {
        Rebuild();
    }
}

void PathList::Clear() {
    entries_.clear();
    counts_.clear();
}

void PathList::Rebuild() {
    counts_.clear();
    for (const std::string& entry : entries_) {
        ++counts_[entry];
    }
}

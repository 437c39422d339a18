#pragma once
// An ordered list of paths: entries keep the order they were appended in and are never sorted.
// Paths compare exactly, byte for byte (Linux file names are case-sensitive). Lookups of a whole
// path cost the same for a list of ten entries or of ten thousand.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class PathList {
public:
    void Append(std::string path);
    bool Contains(const std::string& path) const;
    // Removes every entry equal to path.
    void Remove(const std::string& path);
    // Removes every entry that begins with prefix.
    void RemoveWithPrefix(std::string_view prefix);
    void Clear();

    std::size_t Size() const { return entries_.size(); }
    const std::string& operator[](std::size_t i) const { return entries_[i]; }
    const std::vector<std::string>& Entries() const { return entries_; }

private:
    void Rebuild();

    std::vector<std::string> entries_;
    std::unordered_map<std::string, std::size_t> counts_;
};

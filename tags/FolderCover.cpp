#include "tags/FolderCover.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "tags/AudioTags.h"

namespace {
struct DirClose {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The folder's entries, in byte order; those that are no file are told apart when read.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirClose> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = readdir(dir.get())) {
        names.emplace_back(entry->d_name);
    }
    std::ranges::sort(names);
    return names;
}

std::optional<std::string> Match(const std::vector<std::string>& entries, const std::string& name) {
    if (std::ranges::binary_search(entries, name)) {
        return name;
    }
    const std::string upper = UpperAscii(name);
    for (const std::string& entry : entries) {
        if (UpperAscii(entry) == upper) {
            return entry;
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<std::string> FolderCover::Find(const std::string& inputPath,
                                             std::span<const std::string> names) {
    if (names.empty()) {
        return std::nullopt;
    }
    const std::size_t separator = inputPath.rfind('/');
    const std::string folder =
        separator == std::string::npos ? "" : inputPath.substr(0, separator + 1);
    const std::vector<std::string> entries = Entries(folder);
    for (const std::string& name : names) {
        if (const std::optional<std::string> entry = Match(entries, name)) {
            bool isFolder = false;
            if (FileExists(folder + *entry, &isFolder) && !isFolder) {
                return folder + *entry;
            }
        }
    }
    return std::nullopt;
}

std::variant<TagLib::ByteVector, CoverProblem> FolderCover::Read(const std::string& path) {
    const UniqueFd file = OpenRegularFile(path);
    bool failed = !file.Valid();
    const uint64_t size = failed ? 0 : GetFileSizeOfHandle(file.Get(), &failed);
    if (failed) {
        return CoverProblem{path, CoverProblem::Cause::Damaged};
    }
    if (size > MaxPictureBytes) {
        return CoverProblem{path, CoverProblem::Cause::TooManyBytes};
    }
    TagLib::ByteVector data(static_cast<unsigned int>(size), 0);
    unsigned int done = 0;
    while (done < data.size()) {
        const ssize_t got = pread(file.Get(), data.data() + done, data.size() - done, done);
        if (got <= 0) {
            return CoverProblem{path, CoverProblem::Cause::Damaged};
        }
        done += static_cast<unsigned int>(got);
    }
    return data;
}

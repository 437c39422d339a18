#pragma once
// Where a job's inputs came from: per input, its folder below the folder marked in the window or
// given on the command line ("" or "a/b/"; "" for a file marked or given by itself), and whether
// the outputs keep that tree below the chosen folder. A naming pattern's {folder} reads the
// folders either way.
#include <string>
#include <utility>
#include <vector>

struct InputFolders {
    std::vector<std::string> subFolders; // empty: "" for every input
    bool keepTree = false;

    InputFolders() = default;
    // Folders whose tree the outputs keep, as "Keep folder tree" and "-r -o" do.
    InputFolders(std::vector<std::string> kept) : subFolders(std::move(kept)), keepTree(true) {}
    InputFolders(std::vector<std::string> folders, bool keep)
        : subFolders(std::move(folders)), keepTree(keep) {}

    std::string_view Of(std::size_t input) const {
        return input < subFolders.size() ? std::string_view(subFolders[input]) : std::string_view();
    }
};

#pragma once
// The conversion list of the command line: files as given, and the audio files of folders.
#include <string>
#include <vector>

struct CollectedInputs {
    // Absolute paths, in argument order; a folder contributes its audio files (sorted by name),
    // with recursive those of its sub-folders after them.
    std::vector<std::string> paths;
    // Per path, the folder below its folder argument that holds it ("" or "a/b/"); "" for a file
    // named as an argument.
    std::vector<std::string> subFolders;
};

// A folder's entries count only when they are regular files (FIFOs, devices and sockets are
// skipped); skipFolder (the output folder, may be empty or missing) is never walked into.
// False with a message when an argument names nothing.
bool CollectInputs(const std::vector<std::string>& arguments, bool recursive,
                   const std::string& skipFolder, CollectedInputs& inputs, std::string& error);

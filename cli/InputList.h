#pragma once
// The conversion list of the command line: files as given, and the audio files of folders.
#include <span>
#include <string>
#include <vector>

struct FormatInfo;

struct CollectedInputs {
    // Absolute paths, in argument order; a folder contributes its audio files (sorted by name),
    // with recursive those of its sub-folders after them.
    std::vector<std::string> paths;
    // Per path, the folder below its folder argument that holds it ("" or "a/b/"); "" for a file
    // named as an argument.
    std::vector<std::string> subFolders;
};

// A folder's entries count only when they are regular files (FIFOs, devices and sockets are
// skipped) of one of the formats from (of any, and cue sheets, when it is empty); a file named as
// an argument counts whatever its type, as a file ticked in the window does. skipFolder (the output
// folder, may be empty or missing) is never walked into. False with a message when an argument
// names nothing.
bool CollectInputs(const std::vector<std::string>& arguments, bool recursive,
                   std::span<const FormatInfo* const> from, const std::string& skipFolder,
                   CollectedInputs& inputs, std::string& error);

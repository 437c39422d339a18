#pragma once
// The conversion list of the command line: files as given, and the audio files of folders.
#include <string>
#include <vector>

// Absolute paths, in argument order; a folder contributes its audio files (sorted by name), with
// recursive those of its sub-folders after them. False with a message when an argument names
// nothing.
bool CollectInputs(const std::vector<std::string>& arguments, bool recursive,
                   std::vector<std::string>& inputs, std::string& error);

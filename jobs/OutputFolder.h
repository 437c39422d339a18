#pragma once
// The folder the command line writes into: made with its parents when missing, and checked
// before anything is converted.
#include <string>

// Empty when folder is (now) a folder this process can write into; otherwise why not, as one
// line naming the folder.
std::string PrepareOutputFolder(const std::string& folder);

// The error line of a row whose output's folder (a sub-folder of a kept tree, made as the row
// starts) cannot be used; empty when the folder is ready.
std::string PrepareFolderOf(const std::string& output);

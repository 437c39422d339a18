#pragma once
// "Convert To" for every user, as the package installs it: the file managers that read actions
// from the system's data folders find these without "brindlex --install", and removing the
// package removes them. The same texts as the per-user files, with the package's comment line.
#include <string>
#include <vector>

struct SystemActionFile {
    std::string path; // relative to the data folder (<prefix>/share)
    std::string text;
};

// executable: the installed program's full path.
std::vector<SystemActionFile> SystemActionFiles(const std::string& executable);

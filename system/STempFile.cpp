#include "system/STempFile.h"

#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/UniqueFd.h"

namespace {
constexpr std::string_view Suffix = ".tmp";
}

std::string STempFile::TempFolder() {
    const char* env = std::getenv("TMPDIR");
    std::string folder = env && env[0] != '\0' ? env : "/tmp";
    AddTrailingBackslash(folder);
    return folder;
}

STempFile::STempFile(std::string_view prefix) {
    const std::string folder = TempFolder();
    // A missing temporary folder is created once; the unique name is the system's (mkstemps
    // creates the file exclusively, so no other file is ever replaced).
    if (!TryCreate(folder, prefix) && CreateFolderPath(folder)) {
        TryCreate(folder, prefix);
    }
}

bool STempFile::TryCreate(const std::string& folder, std::string_view prefix) {
    if (prefix.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return false;
    }
    std::string name = folder + std::string(prefix) + "XXXXXX" + std::string(Suffix);
    UniqueFd fd(mkstemps(name.data(), static_cast<int>(Suffix.size())));
    if (!fd.Valid()) {
        return false;
    }
    name_ = std::move(name);
    return true;
}

STempFile::~STempFile() {
    if (!name_.empty()) {
        unlink(name_.c_str()); // already moved away: nothing to do
    }
}

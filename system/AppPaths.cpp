#include "system/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "system/FileNames.h"
#include "system/FileRoutines.h"

namespace {
std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// $XDG_CONFIG_HOME when set to an absolute path (relative values are to be ignored), else
// $HOME/.config, else the password database's home folder.
std::string ConfigBase() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        return std::string(home) + "/.config";
    }
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') {
        return std::string(pw->pw_dir) + "/.config";
    }
    return {};
}
} // namespace

std::string AppFolder() {
    const std::string exe = ExecutablePath();
    const std::size_t sep = exe.rfind(PathSeparator);
    return sep == std::string::npos ? std::string() : exe.substr(0, sep + 1);
}

std::string ConfigFolder() {
    std::string folder = ConfigBase();
    if (folder.empty()) {
        return {};
    }
    AddTrailingBackslash(folder);
    folder += "brindlex/";
    CreateFolderPath(folder);
    return folder;
}

std::string WaveCompressPath() {
    const std::string folder = ConfigFolder();
    return folder.empty() ? std::string() : folder + "WaveCompress.bin";
}

#include "system/AppPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "system/FileNames.h"
#include "system/FileRoutines.h"

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

namespace {

// $XDG_CONFIG_HOME when set to an absolute path (relative values are to be ignored), else
// ~/.config.
std::string ConfigBase() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        return xdg;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}
} // namespace

std::string HomeFolder() {
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable && variable[0] == '/') {
        home = variable;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') {
        home = pw->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home;
}

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

std::string RuntimeFolder(std::string* problem) {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = xdg && xdg[0] == '/' ? std::string(xdg) + "/brindlex"
                                                    : "/tmp/brindlex-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) == 0) {
        chmod(folder.c_str(), 0700); // an unusual umask must not leave it unusable
    } else if (errno != EEXIST) {
        if (problem) {
            *problem = "cannot create " + folder + ": " + std::strerror(errno);
        }
        return {};
    }
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 07777) != 0700) {
        if (problem) {
            *problem = folder + " is not a folder of this user with mode 0700; refusing to use it";
        }
        return {};
    }
    return folder + "/";
}

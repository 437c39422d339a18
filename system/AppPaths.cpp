#include "system/AppPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
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

// $XDG_CACHE_HOME when set to an absolute path, else ~/.cache.
std::string CacheBase() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') {
        return xdg;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.cache";
}

// folder with a trailing '/', created with mode 0700 when missing; "" (and the reason) when what
// is there is not a folder of this user that nobody else may use.
std::string PrivateFolder(const std::string& folder, std::string* problem) {
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
            *problem = folder + " is not a folder of this user with mode 0700";
        }
        return {};
    }
    return folder + "/";
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
    WithTrailingSlash(folder);
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
    if (xdg && xdg[0] == '/') {
        return PrivateFolder(std::string(xdg) + "/brindlex", problem);
    }
    // /tmp is everybody's: another user may have made our folder there first, to read or forge
    // what we exchange or only to keep us out. Then a folder in our own cache serves instead, where
    // every process of ours finds it the same way.
    const std::string shared = "/tmp/brindlex-" + std::to_string(getuid());
    std::string refused;
    const std::string folder = PrivateFolder(shared, &refused);
    if (!folder.empty()) {
        return folder;
    }
    const std::string cache = CacheBase();
    if (cache.empty()) {
        if (problem) {
            *problem = refused;
        }
        return {};
    }
    const std::string fallback = cache + "/brindlex/runtime";
    static std::once_flag told;
    std::call_once(told, [&] {
        std::fprintf(stderr, "%s: %s; using %s instead\n", program_invocation_short_name,
                     refused.c_str(), fallback.c_str());
    });
    CreateFolderPath(cache + "/brindlex/");
    return PrivateFolder(fallback, problem);
}

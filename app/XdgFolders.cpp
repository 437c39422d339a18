#include "app/XdgFolders.h"

#include <cstdlib>
#include <sstream>

#include "system/AppPaths.h"

namespace {
std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string Folder(const char* variable, const char* belowHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') {
        return WithSlash(value);
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : WithSlash(home + belowHome);
}
} // namespace

XdgFolders XdgFolders::FromEnvironment() {
    XdgFolders folders;
    folders.dataHome = Folder("XDG_DATA_HOME", "/.local/share");
    folders.configHome = Folder("XDG_CONFIG_HOME", "/.config");
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::istringstream list(dirs && dirs[0] ? dirs : "/etc/xdg");
    for (std::string dir; std::getline(list, dir, ':');) {
        if (!dir.empty() && dir[0] == '/') {
            folders.configDirs.push_back(WithSlash(dir));
        }
    }
    return folders;
}

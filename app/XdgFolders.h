#pragma once
// The per-user folders that the desktops' file managers read, after the XDG base directory rules:
// a variable counts only when it holds an absolute path.
#include <string>
#include <vector>

struct XdgFolders {
    std::string dataHome;                // $XDG_DATA_HOME, else ~/.local/share
    std::string configHome;              // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::string> configDirs; // $XDG_CONFIG_DIRS, else /etc/xdg

    // Empty homes when no home folder can be found. Every folder ends with '/'.
    static XdgFolders FromEnvironment();
};

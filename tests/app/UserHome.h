#pragma once
// A user of our own for a test: HOME and the XDG folders (the runtime folder made) in a fresh
// temporary folder, so the settings store and the desktop files of whoever runs the tests are never
// touched.
#include <sys/stat.h>

#include <optional>
#include <string>

#include "TestFolder.h"

class UserHome : public TestFolder {
public:
    UserHome() { mkdir((Path() + "run").c_str(), 0700); }

    std::string Home() const { return Path() + "home"; }
    std::string DataHome() const { return Path() + "home/.local/share/"; }
    std::string ConfigHome() const { return Path() + "home/.config/"; }
    std::string StorePath() const { return ConfigHome() + "brindlex/registry.sqlite"; }

private:
    ScopedEnv home_{"HOME", Home()};
    ScopedEnv data_{"XDG_DATA_HOME", DataHome()};
    ScopedEnv config_{"XDG_CONFIG_HOME", ConfigHome()};
    ScopedEnv configDirs_{"XDG_CONFIG_DIRS", Path() + "etc/xdg"};
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", Path() + "run"};
};

#pragma once
// Test helpers: a fresh temporary folder removed afterwards, environment variables set for the
// length of a test, and the command-line tools we check our work with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

class TestFolder {
public:
    TestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bmc-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
        }
        path_ = pattern + "/";
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // With a trailing '/'.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// The names in a folder, sorted.
inline std::vector<std::string> SortedNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ScopedEnv {
public:
    // value nullopt unsets the variable.
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

// A private configuration folder, so the settings store of the user is never touched.
class ConfigHome {
public:
    ConfigHome() : env_("XDG_CONFIG_HOME", folder_.Path() + "config") {}
    std::string StoreFolder() const { return folder_.Path() + "config/brindlex/"; }
    std::string StorePath() const { return StoreFolder() + "registry.sqlite"; }
    const TestFolder& Folder() const { return folder_; }

private:
    TestFolder folder_;
    ScopedEnv env_;
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace testtools {

// A test folder that also holds the settings store of this test process.
class ScratchDir : public TestFolder {
public:
    ScratchDir() { setenv("XDG_CONFIG_HOME", (*this / "config").c_str(), 1); }
};

// Runs a shell command; its standard output, and its exit status in status.
inline std::string ShellOutput(const std::string& command, int& status) {
    std::string output;
    status = -1;
    // Tools like ffmpeg read standard input; from a job in the background that stops them.
    if (FILE* pipe = popen(("exec </dev/null; " + command).c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        status = pclose(pipe);
    }
    return output;
}

// Runs a shell command and returns its standard output; a failing command fails the test.
inline std::string Shell(const std::string& command) {
    int status = 0;
    std::string output = ShellOutput(command, status);
    EXPECT_EQ(status, 0) << command;
    return output;
}

// A path quoted for the shell.
inline std::string Quote(const std::string& path) {
    return "'" + path + "'";
}

// text with every what replaced by with; what may occur in with (a temporary folder's random name
// can hold any letters).
inline std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (auto at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

} // namespace testtools

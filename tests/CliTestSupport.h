#pragma once
// Running the built brindlex-convert and the independent audio tools from tests.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestFolder.h"

namespace clitest {

inline std::string ConverterPath() {
    return std::string(BMC_BINARY_DIR) + "/brindlex-convert";
}

struct Outcome {
    int exitCode = -1; // 128 + signal when killed by one
    std::string out;
    std::string err;
};

struct Spawned {
    pid_t pid = -1;
    std::string outPath;
    std::string errPath;
};

// Starts the converter with stdin from /dev/null and its output into files of folder; a
// non-zero fileSizeLimit caps the size of any file it writes (SIGXFSZ ignored, so writes fail).
inline Spawned Spawn(const TestFolder& folder, const std::vector<std::string>& args,
                     rlim_t fileSizeLimit = 0, const std::string& program = ConverterPath()) {
    static int counter = 0;
    Spawned s;
    s.outPath = folder / ("stdout" + std::to_string(++counter));
    s.errPath = folder / ("stderr" + std::to_string(counter));
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    s.pid = fork();
    if (s.pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(s.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(s.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0), dup2(out, 1), dup2(err, 2);
        if (fileSizeLimit) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> raw;
        for (std::string& a : argv) {
            raw.push_back(a.data());
        }
        raw.push_back(nullptr);
        execv(raw[0], raw.data());
        _exit(127);
    }
    return s;
}

inline Outcome Wait(const Spawned& s) {
    int status = 0;
    waitpid(s.pid, &status, 0);
    Outcome o;
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.out = ReadTextFile(s.outPath);
    o.err = ReadTextFile(s.errPath);
    return o;
}

inline Outcome Convert(const TestFolder& folder, const std::vector<std::string>& args,
                       rlim_t fileSizeLimit = 0, const std::string& program = ConverterPath()) {
    return Wait(Spawn(folder, args, fileSizeLimit, program));
}

// Output of a shell command (the tools we did not write), trailing newline removed; its exit
// status is left to the caller's checks.
inline std::string Shell(const std::string& command) {
    int status = 0;
    std::string text = testtools::ShellOutput(command, status);
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

using testtools::Quote;

// One field of the first audio stream, as ffprobe reports it.
inline std::string Probe(const std::string& path, const std::string& field) {
    return Shell("ffprobe -v error -select_streams a:0 -show_entries stream=" + field +
                 " -of default=nw=1:nk=1 " + Quote(path));
}

// Several fields of the first audio stream in one ffprobe run: "codec_tag=0x0011\n...".
inline std::string ProbeAll(const std::string& path, const std::string& fields) {
    return Shell("ffprobe -v error -select_streams a:0 -show_entries stream=" + fields +
                 " -of default=nw=1 " + Quote(path));
}

// Sample frames per channel, as sox counts them.
inline long SoxSamples(const std::string& path) {
    const std::string n = Shell("sox --i -s " + Quote(path) + " 2>/dev/null");
    return n.empty() ? -1 : std::stol(n);
}

// The whole decoded signal as raw 16-bit samples, as sox decodes it.
inline std::string SoxRaw16(const std::string& path) {
    return Shell("sox " + Quote(path) + " -b 16 -e signed-integer -t raw - 2>/dev/null | md5sum");
}

// A 440 Hz tone of 16-bit stereo at 44100 Hz made by sox at path (its folder made too); format
// adds sox's output options.
inline std::string SoxTone(const std::string& path, double seconds,
                           const std::string& format = "") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Shell("sox -q -n -r 44100 -c 2 -b 16 " + format + " " + Quote(path) + " synth " +
          std::to_string(seconds) + " sine 440 gain -3");
    EXPECT_TRUE(std::filesystem::exists(path));
    return path;
}

// An hour of 16-bit stereo silence at 44100 Hz at path, taking no disk space.
inline std::string MakeSilentHour(const std::string& path) {
    const uint32_t data = 3600u * 44100u * 4u;
    std::string header = "RIFF";
    auto u32 = [&header](uint32_t v) { header.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&header](uint16_t v) { header.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + data);
    header += "WAVEfmt ";
    u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
    header += "data";
    u32(data);
    WriteTextFile(path, header);
    std::filesystem::resize_file(path, header.size() + data);
    return path;
}

// The "BRC…" files in folder.
inline std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("BRC")) {
            found.push_back(entry.path().string());
        }
    }
    return found;
}

// Waits until the file at path() has grown past minBytes; false after 60 s.
inline bool WaitForGrowth(const std::function<std::string()>& path, uintmax_t minBytes) {
    for (int i = 0; i < 6000; ++i) {
        std::error_code ec;
        const std::string p = path();
        if (!p.empty() && std::filesystem::file_size(p, ec) > minBytes && !ec) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The processes that pid started and that still run (brindlex-convert's workers).
inline std::vector<pid_t> ChildrenOf(pid_t pid) {
    std::vector<pid_t> children;
    std::error_code ec;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, ec)) {
        std::ifstream list(task.path() / "children");
        for (pid_t child; list >> child;) {
            children.push_back(child);
        }
    }
    return children;
}

// The new versions that process pid and its workers are writing into folder: files without a
// name, seen through the processes' descriptors.
inline std::vector<std::string> UnnamedFilesOf(pid_t pid, const std::string& folder) {
    std::vector<pid_t> writers = ChildrenOf(pid);
    writers.insert(writers.begin(), pid);
    std::vector<std::string> found;
    std::set<std::string> targets;
    for (const pid_t writer : writers) {
        std::error_code ec;
        const std::string fds = "/proc/" + std::to_string(writer) + "/fd";
        for (const auto& fd : std::filesystem::directory_iterator(fds, ec)) {
            const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
            // A file can be open on several descriptors: each counts once.
            if (!ec && target.starts_with(folder + "/#") && target.ends_with(" (deleted)") &&
                targets.insert(target).second) {
                found.push_back(fd.path().string());
            }
        }
    }
    return found;
}

// The first of them; "" while there is none.
inline std::string UnnamedFileOf(pid_t pid, const std::string& folder) {
    const std::vector<std::string> found = UnnamedFilesOf(pid, folder);
    return found.empty() ? std::string() : found.front();
}

// The nth of them (from 0); "" while there are fewer.
inline std::string NthUnnamedFileOf(pid_t pid, const std::string& folder, std::size_t n) {
    const std::vector<std::string> found = UnnamedFilesOf(pid, folder);
    return found.size() > n ? found[n] : std::string();
}

} // namespace clitest

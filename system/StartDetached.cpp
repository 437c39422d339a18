#include "system/StartDetached.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system/AppPaths.h"
#include "system/UniqueFd.h"

namespace {
// Runs in the grandchild: only calls that are safe after fork. An exec failure is reported
// through report, which exec closes on success.
[[noreturn]] void Exec(char* const argv[], int report) {
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execv(argv[0], argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report, &error, sizeof error);
    _exit(127);
}
// Everything the children need, prepared here: after fork they may not allocate.
struct Argv {
    explicit Argv(const std::string& program, const std::vector<std::string>& args) {
        strings.push_back(program);
        strings.insert(strings.end(), args.begin(), args.end());
        for (std::string& s : strings) {
            pointers.push_back(s.data());
        }
        pointers.push_back(nullptr);
    }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

void Tell(std::string* problem, int error) {
    if (problem) {
        *problem = std::strerror(error);
    }
}

// The pipe through which a child tells why its exec failed; exec closes it on success.
struct ExecReport {
    ExecReport() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) == 0) {
            readEnd.Reset(fds[0]);
            writeEnd.Reset(fds[1]);
        }
    }
    bool Ok() const { return readEnd.Valid(); }
    // In the parent, once the child runs: 0 when exec succeeded, else its error.
    int Outcome() {
        writeEnd.Reset();
        int error = 0;
        ssize_t n;
        while ((n = read(readEnd.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
        }
        return n > 0 ? error : 0;
    }
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

int Reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}
} // namespace

pid_t StartChild(const std::string& program, const std::vector<std::string>& args,
                 std::string* problem) {
    Argv argv(program, args);
    ExecReport report;
    const pid_t child = report.Ok() ? fork() : -1;
    if (child == 0) {
        Exec(argv.pointers.data(), report.writeEnd.Get());
    }
    if (child < 0) {
        Tell(problem, errno);
        return -1;
    }
    if (const int error = report.Outcome(); error != 0) {
        Reap(child);
        Tell(problem, error);
        return -1;
    }
    return child;
}

std::string FindOnPath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string* problem) {
    Argv argv(program, args);
    ExecReport report;
    const pid_t child = report.Ok() ? fork() : -1;
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            Exec(argv.pointers.data(), report.writeEnd.Get());
        }
        _exit(grandchild < 0 ? errno : 0);
    }
    int error = errno;
    if (child > 0) {
        const int status = Reap(child);
        error = WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
        // The grandchild's exec, when the child could start it.
        if (const int execError = report.Outcome(); execError != 0) {
            error = execError;
        }
    }
    if (error != 0) {
        Tell(problem, error);
    }
    return error == 0;
}

void StartMainInstance() {
    const std::string program = ExecutablePath();
    std::string problem = "the program's own path is unknown";
    if (program.empty() || !StartDetached(program, {}, &problem)) {
        std::fprintf(stderr, "brindlex: cannot start the main instance: %s\n", problem.c_str());
    }
}

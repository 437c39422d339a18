#include "system/StartDetached.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
} // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string* problem) {
    // Everything the children need is prepared here: after fork they may not allocate.
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        if (problem) {
            *problem = std::strerror(errno);
        }
        return false;
    }
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            Exec(argv.data(), writeEnd.Get());
        }
        _exit(grandchild < 0 ? errno : 0);
    }
    int error = errno;
    writeEnd.Reset();
    if (child > 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        error = WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
        // Ends when exec succeeds (the descriptor closes) or the grandchild tells its failure.
        ssize_t n;
        while ((n = read(readEnd.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
        }
    }
    if (error != 0 && problem) {
        *problem = std::strerror(error);
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

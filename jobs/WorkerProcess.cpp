#include "jobs/WorkerProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jobs/StopSignals.h"

extern char** environ;

namespace {
constexpr int WorkerFd = 3;

// Above the descriptors the child's file actions write to, so that no action overwrites a
// descriptor another one still reads.
UniqueFd MovedHigh(int fd) {
    const UniqueFd original(fd);
    return UniqueFd(fcntl(original.Get(), F_DUPFD_CLOEXEC, 10));
}

// Frees the spawn records however Start leaves.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};
} // namespace

std::unique_ptr<WorkerProcess> WorkerProcess::Start(const std::string& program,
                                                    std::string& problem) {
    int ends[2];
    if (program.empty() || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        problem = program.empty() ? "the program's own path is unknown" : std::strerror(errno);
        return nullptr;
    }
    UniqueFd ours = MovedHigh(ends[0]);
    const UniqueFd theirs = MovedHigh(ends[1]);
    if (!ours.Valid() || !theirs.Valid()) {
        problem = std::strerror(errno);
        return nullptr;
    }
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, STDERR_FILENO, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, theirs.Get(), WorkerFd);
    // The worker starts with the stop signals blocked, to take them once it can handle them, and
    // with them and SIGPIPE at their defaults.
    const sigset_t stops = StopSignalSet();
    sigset_t defaults = stops;
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&setup.attributes, &stops);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string programArg = program;
    std::string optionArg = Option;
    char* argv[] = {programArg.data(), optionArg.data(), nullptr};
    pid_t pid = -1;
    if (const int error =
            posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv, environ);
        error != 0) {
        problem = std::strerror(error);
        return nullptr;
    }
    return std::unique_ptr<WorkerProcess>(new WorkerProcess(pid, std::move(ours)));
}

WorkerProcess::~WorkerProcess() {
    // An idle worker ends at the closed channel; one still converting cancels its file.
    channel_.Close();
    Signal(SIGTERM);
    Reap();
}

void WorkerProcess::Signal(int signal) const {
    if (!reaped_) {
        kill(pid_, signal);
    }
}

std::string WorkerProcess::Reap() {
    if (reaped_) {
        return {};
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    if (WIFSIGNALED(status)) {
        return strsignal(WTERMSIG(status));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return "exit status " + std::to_string(WEXITSTATUS(status));
    }
    return {};
}

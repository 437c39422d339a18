#include "system/OpenerProcess.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "system/StartDetached.h"

OpenerProcess::OpenerProcess(const std::string& address, const std::string& opener) {
    const std::string program = FindOnPath(opener);
    if (program.empty()) {
        problem_ = opener + " was not found";
        return;
    }
    pid_ = StartChild(program, {address}, &problem_);
    if (pid_ < 0) {
        problem_ = opener + " could not start: " + problem_;
        return;
    }
    state_ = State::Running;
    pidfd_.Reset(static_cast<int>(syscall(SYS_pidfd_open, pid_, 0)));
}

OpenerProcess::~OpenerProcess() {
    Poll();
}

void OpenerProcess::Reap(bool wait) {
    int status = 0;
    pid_t reaped;
    while ((reaped = waitpid(pid_, &status, wait ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (reaped == 0) {
        return; // still running
    }
    pidfd_.Reset();
    pid_ = -1;
    if (reaped > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        state_ = State::Accepted;
        return;
    }
    state_ = State::Refused;
    problem_ = reaped < 0          ? "its end was lost"
               : WIFEXITED(status) ? "it ended with status " + std::to_string(WEXITSTATUS(status))
                                   : "it was ended by signal " + std::to_string(WTERMSIG(status));
}

OpenerProcess::State OpenerProcess::Poll() {
    if (state_ == State::Running) {
        Reap(false);
    }
    return state_;
}

OpenerProcess::State OpenerProcess::Wait(std::chrono::milliseconds atMost) {
    if (state_ == State::Running && pidfd_.Valid()) {
        pollfd end{pidfd_.Get(), POLLIN, 0};
        while (poll(&end, 1, static_cast<int>(atMost.count())) < 0 && errno == EINTR) {
        }
    }
    return Poll();
}

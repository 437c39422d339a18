#pragma once
// The desktop's opener for files and web addresses (xdg-open, found on PATH), started for one
// address as a child of ours, so that its verdict can be heard: it ends with 0 when a program
// took the address, and with another status when none could (3 when, say, no program for web
// pages is installed). While it runs, a program it started in the foreground shows the page,
// which counts as taken as well.
#include <sys/types.h>

#include <chrono>
#include <string>

#include "system/UniqueFd.h"

class OpenerProcess {
public:
    enum class State { Running, Accepted, Refused };

    explicit OpenerProcess(const std::string& address, const std::string& opener = "xdg-open");
    // Reaps the opener when it has ended; one still running is left to run (and to show its
    // page).
    ~OpenerProcess();
    OpenerProcess(const OpenerProcess&) = delete;
    OpenerProcess& operator=(const OpenerProcess&) = delete;

    // Looks without waiting.
    State Poll();
    // Waits until the opener ends, or at most atMost.
    State Wait(std::chrono::milliseconds atMost);
    // Becomes readable when the opener ends; -1 once it has (or when it never started).
    int EndDescriptor() const { return pidfd_.Get(); }
    // Why it was refused: the opener's status, or why it could not start.
    const std::string& Problem() const { return problem_; }

private:
    void Reap(bool wait);

    pid_t pid_ = -1;
    UniqueFd pidfd_;
    State state_ = State::Refused;
    std::string problem_;
};

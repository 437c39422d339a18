#pragma once
// The hand-over procedure of a process started for files: pass each path to the running main
// instance, starting one first when neither a main instance nor another hand-over process is
// alive, and wait until the main instance has taken the path.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "system/HandOverChannel.h"

struct HandOverOptions {
    // Between two attempts to deliver, and between two looks whether the path was taken.
    std::chrono::milliseconds poll{100};
    // How long a process that started the main instance stays after delivering, so that the
    // other hand-over processes of the same shell action do not start a second one while the
    // first is still starting.
    std::chrono::milliseconds stayAfterStart{7000};
    // A path that no main instance takes within this time is taken back and the process fails.
    std::chrono::milliseconds giveUpAfter{60000};
};

// The outcome, which is also the hand-over process's exit status.
enum class HandOverResult {
    Delivered = 0,
    Refused = 1,     // a path was refused (too long here; see also HandOverPaths.h)
    Unavailable = 2, // the shared objects could not be set up
    NobodyTook = 3,  // given up; the path was taken back
};

class HandOver {
public:
    using StartMain = std::function<void()>;

    HandOver(HandOverChannel& channel, StartMain startMain, HandOverOptions options = {});

    // Every result but Delivered is also told on standard error. Each path goes with tokens,
    // so that the window may come to the front.
    HandOverResult Run(const std::string& path, const ActivationTokens& tokens = {});
    // The paths in order, as one hand-over process: it starts at most one main instance and
    // stays once, after the last path. A path too long is refused and the others still pass;
    // once a path was not taken, the rest are not tried. The result is the first failure's.
    HandOverResult Run(const std::vector<std::string>& paths, const ActivationTokens& tokens = {});
    // A second start of the program: asks the running main instance to come to the front, and
    // waits (a few seconds at most) until it took the request. Starts nothing, says nothing.
    bool BringRunningToFront(const ActivationTokens& tokens);

private:
    bool Deliver(const HandOverMessage& message, std::chrono::milliseconds giveUpAfter);

    HandOverChannel& channel_;
    StartMain startMain_;
    HandOverOptions options_;
};

#include "system/HandOver.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <utility>

#include "system/AppPaths.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds FrontRequestWait{5000};

void Tell(const std::string& text) {
    std::fprintf(stderr, "brindlex: %s\n", text.c_str());
}
} // namespace

HandOver::HandOver(HandOverChannel& channel, StartMain startMain, HandOverOptions options)
    : channel_(channel), startMain_(std::move(startMain)), options_(options) {}

HandOverResult HandOver::Run(const std::string& path, const ActivationTokens& tokens) {
    return Run(std::vector<std::string>{path}, tokens);
}

HandOverResult HandOver::Run(const std::vector<std::string>& paths,
                             const ActivationTokens& tokens) {
    HandOverResult result = HandOverResult::Delivered;
    const auto fail = [&](HandOverResult failure, const std::string& text) {
        Tell(text);
        if (result == HandOverResult::Delivered) {
            result = failure;
        }
    };
    std::vector<std::string> passable;
    for (const std::string& path : paths) {
        if (path.size() > HandOverChannel::MaxPathLength) {
            fail(HandOverResult::Refused, "the path is " + std::to_string(path.size()) +
                                              " bytes long, more than the " +
                                              std::to_string(HandOverChannel::MaxPathLength) +
                                              " that can be passed on: refused");
        } else {
            passable.push_back(path);
        }
    }
    if (passable.empty()) {
        return result;
    }
    if (!channel_.IsUsable()) {
        std::string problem = "the shared block could not be set up";
        RuntimeFolder(&problem);
        fail(HandOverResult::Unavailable, "cannot pass " + passable.front() + " on: " + problem);
        return result;
    }
    bool otherHandOverAlive = false;
    const NamedEvent handOverMarker(HandOverMarkerName, &otherHandOverAlive);
    const bool startsMain = !otherHandOverAlive && !NamedEvent::Exists(MainInstanceMarkerName);
    if (startsMain && startMain_) {
        startMain_();
    }
    bool givenUp = false;
    for (const std::string& path : passable) {
        if (givenUp) {
            Tell("not passed on either: " + path);
        } else if (!Deliver({path, tokens}, options_.giveUpAfter)) {
            fail(HandOverResult::NobodyTook,
                 "no running instance took " + path + " within " +
                     std::to_string(options_.giveUpAfter.count() / 1000) + " s; giving up");
            givenUp = true;
        }
    }
    if (startsMain && !givenUp) {
        std::this_thread::sleep_for(options_.stayAfterStart);
    }
    return result;
}

bool HandOver::BringRunningToFront(const ActivationTokens& tokens) {
    // A running window takes it within a tick; a second start is not kept waiting long.
    return channel_.IsUsable() &&
           Deliver({std::string(), tokens}, std::min(options_.giveUpAfter, FrontRequestWait));
}

// Waits for the block to be free, fills it, then waits until the main instance has taken the
// message; at the time limit a message still waiting is taken back.
bool HandOver::Deliver(const HandOverMessage& message, std::chrono::milliseconds giveUpAfter) {
    const std::string& path = message.path;
    const Clock::time_point deadline = Clock::now() + giveUpAfter;
    bool delivered = false;
    do {
        delivered = channel_.TryDeliver(message);
        std::this_thread::sleep_for(options_.poll);
    } while (!delivered && Clock::now() < deadline);
    if (!delivered) {
        return false;
    }
    while (channel_.IsWaiting(path)) {
        if (Clock::now() >= deadline) {
            return !channel_.Withdraw(path);
        }
        std::this_thread::sleep_for(options_.poll);
    }
    return true;
}

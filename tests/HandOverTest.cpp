// Hand-over between real processes: the helper plays hand-over processes and main instances,
// all sharing a runtime folder of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <set>
#include <sstream>
#include <thread>

#include "CliTestSupport.h"
#include "system/HandOverChannel.h"

using namespace std::chrono_literals;

namespace {
class HandOverTest : public testing::Test {
protected:
    TestFolder runtime;
    ScopedEnv env{"XDG_RUNTIME_DIR", runtime.Path()};
    std::string log = runtime / "log";

    clitest::Spawned Helper(const std::vector<std::string>& args) {
        return clitest::Spawn(runtime, args, 0, BMC_HANDOVER_HELPER);
    }
    clitest::Spawned Send(const std::string& path, int receiverCount) {
        return Helper({"send", log, path, std::to_string(receiverCount)});
    }

    std::vector<std::string> Lines(const std::string& kind) const {
        std::istringstream in(ReadTextFile(log));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with(kind)) {
                lines.push_back(line.substr(std::min(line.size(), kind.size() + 1)));
            }
        }
        return lines;
    }
    // Waits until the log holds count lines of a kind; the limit only guards against a hang.
    bool WaitForLines(const std::string& kind, std::size_t count) const {
        for (auto end = std::chrono::steady_clock::now() + 60s;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(5ms)) {
            if (Lines(kind).size() >= count) {
                return true;
            }
        }
        return false;
    }
};

std::multiset<std::string> AsSet(const std::vector<std::string>& lines) {
    return {lines.begin(), lines.end()};
}
} // namespace

TEST_F(HandOverTest, ThreeSendersReachTheRunningInstanceOnePathEach) {
    const std::string longPath = "/music/" + std::string(277, 'n') + " with spaces.mp3";
    ASSERT_EQ(longPath.size(), 300U);
    const std::vector<std::string> paths{"/music/a.mp3", longPath, "/music/\"c\" <at>.wav"};
    const clitest::Spawned receiver = Helper({"receive", log, "3"});
    ASSERT_TRUE(WaitForLines("main", 1));
    std::vector<clitest::Spawned> senders;
    for (const std::string& path : paths) {
        senders.push_back(Send(path, 3));
    }
    for (const clitest::Spawned& sender : senders) {
        EXPECT_EQ(clitest::Wait(sender).exitCode, 0);
    }
    EXPECT_EQ(clitest::Wait(receiver).exitCode, 0);
    EXPECT_EQ(AsSet(Lines("path")), AsSet(paths));
    EXPECT_TRUE(Lines("start").empty()) << "a main instance ran already";
}

TEST_F(HandOverTest, ThreeSendersWithoutAnInstanceStartExactlyOne) {
    const std::vector<std::string> paths{"/a.mp3", "/b.wma", "/c.wav"};
    std::vector<clitest::Spawned> senders;
    for (const std::string& path : paths) {
        senders.push_back(Send(path, 3));
    }
    for (const clitest::Spawned& sender : senders) {
        EXPECT_EQ(clitest::Wait(sender).exitCode, 0);
    }
    ASSERT_TRUE(WaitForLines("path", 3));
    EXPECT_EQ(AsSet(Lines("path")), AsSet(paths));
    EXPECT_EQ(Lines("start").size(), 1U);
    EXPECT_EQ(Lines("main").size(), 1U);
    EXPECT_TRUE(Lines("second").empty());
}

TEST_F(HandOverTest, AKilledInstanceLeavesNothingThatBlocksTheNext) {
    // It dies holding the main-instance marker and the shared block's lock.
    const clitest::Spawned holder = Helper({"hold", log});
    ASSERT_TRUE(WaitForLines("holding", 1));
    EXPECT_TRUE(NamedEvent::Exists(MainInstanceMarkerName));
    kill(holder.pid, SIGKILL);
    EXPECT_EQ(clitest::Wait(holder).exitCode, 128 + SIGKILL);
    EXPECT_FALSE(NamedEvent::Exists(MainInstanceMarkerName));

    EXPECT_EQ(clitest::Wait(Send("/after.mp3", 1)).exitCode, 0);
    ASSERT_TRUE(WaitForLines("path", 1));
    EXPECT_EQ(Lines("path"), std::vector<std::string>{"/after.mp3"});
    EXPECT_EQ(Lines("start").size(), 1U);
    EXPECT_EQ(Lines("main").size(), 1U);
}

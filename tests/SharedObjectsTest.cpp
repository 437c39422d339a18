// NamedEvent, SharedBlock and the hand-over procedure within one process (the cross-process
// behaviour is in HandOverTest.cpp).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "TestFolder.h"
#include "system/AppPaths.h"
#include "system/HandOver.h"
#include "system/StartDetached.h"

using namespace std::chrono_literals;

namespace {
// The shared objects of one test, in a runtime folder of its own.
class SharedObjectsTest : public testing::Test {
protected:
    TestFolder runtime;
    ScopedEnv env{"XDG_RUNTIME_DIR", runtime.Path()};
    int startCalls = 0;
    HandOver::StartMain countStarts = [this] { ++startCalls; };
    HandOverOptions fast{.poll = 2ms, .stayAfterStart = 0ms, .giveUpAfter = 60s};
};
} // namespace

TEST_F(SharedObjectsTest, EventExistsWhileHeldAndKeepsItsStateAcrossHolders) {
    bool existed = true;
    {
        NamedEvent first("E", &existed);
        EXPECT_FALSE(existed);
        NamedEvent second("E", &existed);
        EXPECT_TRUE(existed);
        EXPECT_TRUE(NamedEvent::Exists("E"));
        first.Set();
        EXPECT_TRUE(second.IsSet());
        second.Reset();
        EXPECT_FALSE(first.IsSet());
        second.Set();
    }
    EXPECT_FALSE(NamedEvent::Exists("E"));
    NamedEvent again("E", &existed);
    EXPECT_FALSE(existed);
    EXPECT_FALSE(again.IsSet()) << "a state left by ended holders is gone";
}

TEST_F(SharedObjectsTest, SharedBlockStartsZeroedAndIsSeenByEveryHolder) {
    bool ok = false;
    std::optional<SharedBlock> first(std::in_place, "B", 8, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(first->Write("12345678"));
    std::optional<SharedBlock> second(std::in_place, "B", 8);
    char read[8] = {};
    EXPECT_TRUE(second->Read(read));
    EXPECT_EQ(std::string(read, 8), "12345678");
    first.reset();
    second.reset();
    SharedBlock fresh("B", 8);
    EXPECT_TRUE(fresh.Read(read));
    EXPECT_EQ(std::string(read, 8), std::string(8, '\0'));
}

TEST_F(SharedObjectsTest, RefusesARuntimeFolderThatIsNotPrivate) {
    ASSERT_EQ(mkdir((runtime / "brindlex").c_str(), 0755), 0);
    std::string problem;
    EXPECT_EQ(RuntimeFolder(&problem), "");
    EXPECT_NE(problem.find("0700"), std::string::npos);
    HandOverChannel channel;
    EXPECT_FALSE(channel.IsUsable());
    testing::internal::CaptureStderr();
    EXPECT_EQ(HandOver(channel, countStarts, fast).Run("/a.mp3"), HandOverResult::Unavailable);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("0700"), std::string::npos);
    EXPECT_EQ(startCalls, 0);
}

TEST_F(SharedObjectsTest, LongestPathArrivesWholeAndALongerOneIsRefused) {
    HandOverChannel channel;
    const std::string longest = "/" + std::string(HandOverChannel::MaxPathLength - 1, 'x');
    std::optional<std::string> received;
    std::jthread receiver([&] {
        HandOverChannel own; // one object per thread, as in separate processes
        for (int tick = 0; !received && tick < 30000; ++tick) {
            if (const auto message = own.TakePassedFile()) {
                received = message->path;
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    EXPECT_EQ(HandOver(channel, countStarts, fast).Run(longest), HandOverResult::Delivered);
    receiver.join();
    EXPECT_EQ(received, longest);
    EXPECT_EQ(startCalls, 1) << "neither a main instance nor a hand-over process ran";

    testing::internal::CaptureStderr();
    EXPECT_EQ(HandOver(channel, countStarts, fast).Run(longest + "y"), HandOverResult::Refused);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("4096 bytes"), std::string::npos);
    EXPECT_EQ(channel.TakePassedFile(), std::nullopt);
    EXPECT_EQ(startCalls, 1);
}

TEST_F(SharedObjectsTest, OneProcessHandsOverItsPathsInOrderAndATooLongOneStopsNoOther) {
    HandOverChannel channel;
    std::vector<std::string> received;
    std::jthread receiver([&] {
        HandOverChannel own;
        for (int tick = 0; received.size() < 2 && tick < 30000; ++tick) {
            if (auto message = own.TakePassedFile()) {
                received.push_back(message->path);
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    const std::string tooLong(HandOverChannel::MaxPathLength + 1, 'x');
    testing::internal::CaptureStderr();
    EXPECT_EQ(HandOver(channel, countStarts, fast)
                  .Run(std::vector<std::string>{"/a.mp3", tooLong, "/b.wav"}),
              HandOverResult::Refused);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("refused"), std::string::npos);
    receiver.join();
    EXPECT_EQ(received, (std::vector<std::string>{"/a.mp3", "/b.wav"}));
    EXPECT_EQ(startCalls, 1);

    // Once nobody takes one, the rest are named and not tried.
    fast.giveUpAfter = 50ms;
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        HandOver(channel, countStarts, fast).Run(std::vector<std::string>{"/c.wav", "/d.wav"}),
        HandOverResult::NobodyTook);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not passed on either: /d.wav"),
              std::string::npos);
    EXPECT_EQ(channel.TakePassedFile(), std::nullopt);
}

TEST_F(SharedObjectsTest, GivesUpAndTakesThePathBackWhenNobodyTakesIt) {
    HandOverChannel channel;
    fast.giveUpAfter = 50ms;
    testing::internal::CaptureStderr();
    EXPECT_EQ(HandOver(channel, countStarts, fast).Run("/a.wav"), HandOverResult::NobodyTook);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("giving up"), std::string::npos);
    EXPECT_EQ(channel.TakePassedFile(), std::nullopt);

    // Also while another path fills the block the whole time.
    ASSERT_TRUE(channel.TryDeliver({"/first.wav", {}}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(HandOver(channel, countStarts, fast).Run("/b.wav"), HandOverResult::NobodyTook);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(channel.TakePassedFile()->path, "/first.wav");
    EXPECT_EQ(channel.TakePassedFile(), std::nullopt);
}

TEST_F(SharedObjectsTest, TestingForAnEventNeverMakesItsCreatorFindItExisting) {
    const std::jthread prober([](std::stop_token stop) {
        while (!stop.stop_requested()) {
            NamedEvent::Exists("R");
        }
    });
    for (int round = 0; round < 2000; ++round) {
        bool existed = true;
        NamedEvent event("R", &existed);
        ASSERT_FALSE(existed) << "round " << round;
    }
}

TEST(StartDetached, StartsAProcessThatSharesNothingWithUs) {
    TestFolder dir;
    // A descriptor that a plain fork and exec would pass on.
    const int leaky = open((dir / "open").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(leaky, 0);
    // No redirections: the shell would hold them open itself while its command runs.
    const std::string script = "cd " + testtools::Quote(dir.Path()) +
                               " && find /proc/$$/fd/ -mindepth 1 -fprintf fds '%f %l\\n'"
                               " && awk '{ print $4 > \"parent\" }' /proc/$$/stat && mv fds done";
    ASSERT_TRUE(StartDetached("/bin/sh", {"-c", script}));
    close(leaky);
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (!std::filesystem::exists(dir / "done") && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    std::istringstream lines(ReadTextFile(dir / "done"));
    std::set<std::string> descriptors;
    for (std::string line; std::getline(lines, line);) {
        descriptors.insert(line);
    }
    EXPECT_EQ(descriptors, (std::set<std::string>{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));
    EXPECT_NE(ReadTextFile(dir / "parent"), std::to_string(getpid()) + "\n") << "not our child";

    std::string problem;
    EXPECT_FALSE(StartDetached(dir / "missing", {}, &problem));
    EXPECT_EQ(problem, std::strerror(ENOENT));
}

// The launch's tokens ride behind the path; a reader of the path alone still finds it, and a
// path too long to leave them room still goes, without them.
TEST_F(SharedObjectsTest, AMessageCarriesTheLaunchsTokensWhenTheyFit) {
    const HandOverMessage message{"/m/a b.wav", {"wayland-token", "x11_TIME5"}};
    const std::optional<std::string> block = message.Encode(HandOverChannel::BlockSize);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), HandOverChannel::BlockSize);
    EXPECT_EQ(std::string(block->c_str()), "/m/a b.wav");
    EXPECT_EQ(HandOverMessage::Decode(*block), message);

    HandOverChannel channel;
    ASSERT_TRUE(channel.TryDeliver(message));
    EXPECT_TRUE(channel.IsWaiting("/m/a b.wav"));
    EXPECT_EQ(channel.TakePassedFile(), message);

    const std::string longest(HandOverChannel::MaxPathLength, 'x');
    const HandOverMessage crowded{longest, {"token", "id"}};
    EXPECT_EQ(HandOverMessage::Decode(*crowded.Encode(HandOverChannel::BlockSize)),
              (HandOverMessage{longest, {}}));
    EXPECT_FALSE((HandOverMessage{longest + "y", {}}.Encode(HandOverChannel::BlockSize)));
    EXPECT_FALSE((HandOverMessage{std::string("a\0b", 3), {}}.Encode(HandOverChannel::BlockSize)));
    // A block from a sender without tokens.
    EXPECT_EQ(HandOverMessage::Decode(std::string("/x.mp3\0\0\0\0", 10)),
              (HandOverMessage{"/x.mp3", {}}));
}

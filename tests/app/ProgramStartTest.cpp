// The entry's order within one process, with the window system played by a recorder. The real
// program, process by process, is in ProgramProcessTest.cpp.
#include "app/ProgramStart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "UserHome.h"
#include "system/HandOverChannel.h"
#include "system/NamedEvent.h"
#include "system/SettingsStore.h"

using namespace std::chrono_literals;

namespace {
class RecordingHost : public StartHost {
public:
    void OpenHelpPage(const std::string& path, std::function<void()> accepted) override {
        steps.push_back("open " + path);
        if (acceptPages) {
            accepted();
        }
    }
    int RunWindow() override {
        steps.push_back(NamedEvent::Exists(MainInstanceMarkerName) ? "window" : "window unmarked");
        if (!failure.empty()) {
            throw std::runtime_error(failure);
        }
        return 0;
    }
    void ShowStartFailure(const std::string& text) override { steps.push_back("box " + text); }

    std::vector<std::string> steps;
    std::string failure;
    bool acceptPages = true;
};

// Plays the running window's side of the channel on a thread of its own until count messages
// came (or a guard of a minute passed).
class Receiver {
public:
    explicit Receiver(std::size_t count)
        : thread_([this, count] {
              HandOverChannel own;
              for (int tick = 0; messages.size() < count && tick < 60000; ++tick) {
                  if (auto message = own.TakePassedFile()) {
                      messages.push_back(*message);
                  }
                  std::this_thread::sleep_for(1ms);
              }
          }) {}
    std::vector<HandOverMessage> Wait() {
        thread_.join();
        return messages;
    }

private:
    std::vector<HandOverMessage> messages;
    std::jthread thread_;
};

StartRequest Normal() {
    return ReadStartRequest({"/opt/brindlex/brindlex"});
}
} // namespace

TEST(ProgramStart, HelpFirstThenTheWindowWhileItHoldsTheMainInstanceMarker) {
    UserHome user;
    RecordingHost host;
    std::ostringstream out, err;
    HandOverChannel channel;
    ProgramStart start(host, out, err, channel);
    EXPECT_EQ(start.Run(Normal()), 0);
    ASSERT_EQ(host.steps.size(), 2U);
    EXPECT_TRUE(host.steps[0].ends_with("conv-help/help.htm")) << host.steps[0];
    EXPECT_EQ(host.steps[1], "window");
    EXPECT_FALSE(NamedEvent::Exists(MainInstanceMarkerName));

    // While another main instance runs: no window, and nothing said; the running one is asked
    // to come to the front, with this launch's tokens.
    const NamedEvent running(MainInstanceMarkerName);
    host.steps.clear();
    const ScopedEnv token("XDG_ACTIVATION_TOKEN", "wayland-token");
    const ScopedEnv startupId("DESKTOP_STARTUP_ID", "x11-launch_TIME1234");
    Receiver window(1);
    EXPECT_EQ(start.Run(Normal()), 0);
    const std::vector<HandOverMessage> received = window.Wait();
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].path, "");
    EXPECT_EQ(received[0].tokens, (ActivationTokens{"wayland-token", "x11-launch_TIME1234"}));
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(out.str() + err.str(), "");
}

TEST(ProgramStart, AHelpPageNoProgramTookIsOwedAgain) {
    UserHome user;
    RecordingHost host;
    host.acceptPages = false;
    std::ostringstream out, err;
    ProgramStart start(host, out, err);
    EXPECT_EQ(start.Run(Normal()), 0);
    EXPECT_EQ(start.Run(Normal()), 0);
    ASSERT_EQ(host.steps.size(), 4U);
    EXPECT_EQ(host.steps[0], host.steps[2]);
    EXPECT_TRUE(host.steps[2].ends_with("conv-help/help.htm")) << host.steps[2];
    EXPECT_FALSE(StoreValueExists(StoreRoot::User, SettingsKey, "ShownConvHelp"));
}

// The sending process checks each path: what is missing or no audio file is named on standard
// error and not passed on, the rest goes (a folder with its final "/"), and the status says 1.
TEST(ProgramStart, AHandOverRefusesWhatIsMissingOrNoAudioFileAndPassesTheRest) {
    UserHome user;
    namespace fs = std::filesystem;
    const std::string music = user / "music/";
    fs::create_directories(music + "Album");
    WriteTextFile(music + "a.wav", "");
    WriteTextFile(music + "notes.txt", "");
    RecordingHost host;
    std::ostringstream out, err;
    HandOverChannel channel;
    ProgramStart start(host, out, err, channel);
    int starts = 0;
    start.startMain = [&] { ++starts; };
    start.handOverOptions = {.poll = 1ms, .stayAfterStart = 0ms, .giveUpAfter = 60s};

    Receiver window(2);
    StartRequest request =
        ReadStartRequest({"/opt/brindlex/brindlex", music + "gone.mp3", music + "notes.txt",
                          music + "Album", music + "a.wav"});
    EXPECT_EQ(start.Run(request), 1);
    const std::vector<HandOverMessage> received = window.Wait();
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[0].path, music + "Album/");
    EXPECT_EQ(received[1].path, music + "a.wav");
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(
        err.str(),
        "brindlex: " + music + "gone.mp3: no such file or folder; not passed on\n" +
            "brindlex: " + music +
            "notes.txt: not a WAVE, MP3, WMA, FLAC, Opus, Vorbis or AAC file; not passed on\n");
    EXPECT_TRUE(host.steps.empty()); // a hand-over owes no help

    // Nothing left to pass on: no window is started, and the status still says 1.
    err.str("");
    EXPECT_EQ(start.Run(ReadStartRequest({"/opt/brindlex/brindlex", music + "notes.txt"})), 1);
    EXPECT_EQ(starts, 1);
    EXPECT_NE(err.str().find("not a WAVE, MP3, WMA, FLAC, Opus, Vorbis or AAC file"),
              std::string::npos);
}

TEST(ProgramStart, AFailingWindowIsShownInABoxAndOnStandardErrorAndEndsTheProgram) {
    UserHome user;
    RecordingHost host;
    host.failure = "no forms today";
    std::ostringstream out, err;
    EXPECT_EQ(ProgramStart(host, out, err).Run(Normal()), 1);
    ASSERT_EQ(host.steps.size(), 3U);
    EXPECT_EQ(host.steps[2], "box Brindlex Music Converter could not go on: no forms today");
    EXPECT_NE(err.str().find("no forms today"), std::string::npos);
    // The marker goes with the failed instance: the next start is not refused.
    EXPECT_FALSE(NamedEvent::Exists(MainInstanceMarkerName));
}

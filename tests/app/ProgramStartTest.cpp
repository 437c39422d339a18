// The entry's order within one process, with the window system played by a recorder. The real
// program, process by process, is in ProgramProcessTest.cpp.
#include "app/ProgramStart.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "UserHome.h"
#include "system/HandOverChannel.h"
#include "system/SEvent.h"

namespace {
class RecordingHost : public StartHost {
public:
    void OpenDocument(const std::string& path) override { steps.push_back("open " + path); }
    int RunWindow() override {
        steps.push_back(SEvent::Exists(MainInstanceMarkerName) ? "window" : "window unmarked");
        if (!failure.empty()) {
            throw std::runtime_error(failure);
        }
        return 0;
    }
    void ShowStartFailure(const std::string& text) override { steps.push_back("box " + text); }

    std::vector<std::string> steps;
    std::string failure;
};

StartRequest Normal() {
    return ReadStartRequest({"/opt/brindlex/brindlex"});
}
} // namespace

TEST(ProgramStart, HelpFirstThenTheWindowWhileItHoldsTheMainInstanceMarker) {
    UserHome user;
    RecordingHost host;
    std::ostringstream out, err;
    ProgramStart start(host, out, err);
    EXPECT_EQ(start.Run(Normal()), 0);
    ASSERT_EQ(host.steps.size(), 2U);
    EXPECT_TRUE(host.steps[0].ends_with("conv-help/help.htm")) << host.steps[0];
    EXPECT_EQ(host.steps[1], "window");
    EXPECT_FALSE(SEvent::Exists(MainInstanceMarkerName));

    // While another main instance runs: no window, and nothing said.
    const SEvent running(MainInstanceMarkerName);
    host.steps.clear();
    EXPECT_EQ(start.Run(Normal()), 0);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(out.str() + err.str(), "");
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
    EXPECT_FALSE(SEvent::Exists(MainInstanceMarkerName));
}

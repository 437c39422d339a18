// The desktop's opener as a child of ours: its status is its verdict.
#include "system/OpenerProcess.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "TestFolder.h"

using namespace std::chrono_literals;

namespace {
// An opener at dir/name that records its address and ends with status (or keeps running).
std::string StandIn(const TestFolder& dir, const std::string& name, const std::string& body) {
    const std::string path = dir / name;
    WriteTextFile(path, "#!/bin/sh\nprintf '%s' \"$1\" > '" + dir / (name + ".got") + "'\n" + body);
    chmod(path.c_str(), 0700);
    return path;
}
} // namespace

TEST(OpenerProcess, ItsStatusSaysWhetherAProgramTookTheAddress) {
    TestFolder dir;
    OpenerProcess taken("file:///a%20b.htm", StandIn(dir, "ok", "exit 0\n"));
    EXPECT_EQ(taken.Wait(60s), OpenerProcess::State::Accepted);
    EXPECT_EQ(ReadTextFile(dir / "ok.got"), "file:///a%20b.htm");
    EXPECT_EQ(taken.EndDescriptor(), -1);

    OpenerProcess noBrowser("https://example.org/", StandIn(dir, "none", "exit 3\n"));
    EXPECT_EQ(noBrowser.Wait(60s), OpenerProcess::State::Refused);
    EXPECT_EQ(noBrowser.Problem(), "it ended with status 3");

    // A program in the foreground keeps it running, which counts as taken; it is left to run.
    OpenerProcess foreground("https://example.org/", StandIn(dir, "stays", "exec sleep 5\n"));
    EXPECT_EQ(foreground.Poll(), OpenerProcess::State::Running);
    EXPECT_GE(foreground.EndDescriptor(), 0);

    OpenerProcess missing("https://example.org/", dir / "no-such-opener");
    EXPECT_EQ(missing.Poll(), OpenerProcess::State::Refused);
    EXPECT_NE(missing.Problem().find("could not start"), std::string::npos);
    OpenerProcess notOnPath("https://example.org/", "bmc-no-such-opener");
    EXPECT_EQ(notOnPath.Poll(), OpenerProcess::State::Refused);
    EXPECT_EQ(notOnPath.Problem(), "bmc-no-such-opener was not found");
}

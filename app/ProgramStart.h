#pragma once
// The program's entry, after its command line was read: one mode per process.
//   hand-over    pass each path to the running main instance (starting one when none runs), but
//                refuse those that are no folder or audio file (exit status 1 then)
//   otherwise    first the help pages a user is owed (install, uninstall and normal start), then
//                the command-line modes, or the normal start: the running main instance comes
//                to the front when there is one, else the window runs until the file selector
//                closes
// An exception that escapes the window's start is shown to the user and ends the program.
#include <ostream>
#include <string>
#include <vector>

#include "app/StartHost.h"
#include "app/StartRequest.h"
#include "system/HandOver.h"
#include "system/HandOverChannel.h"

class ProgramStart {
public:
    // channel: where hand-overs and the request to come to the front go (tests give their own).
    ProgramStart(StartHost& host, std::ostream& out, std::ostream& err,
                 HandOverChannel& channel = ProcessHandOverChannel());

    // Returns the exit status: 0 when the mode did what it was asked; a hand-over's failure,
    // a command-line mode's status, or 1 when the window's start failed.
    int Run(const StartRequest& request);

    // For tests: what the hand-over mode starts and how it times its attempts.
    HandOver::StartMain startMain;
    HandOverOptions handOverOptions;

private:
    int HandOverPaths(const std::vector<std::string>& paths);
    int NormalStart();

    StartHost& host_;
    HandOverChannel& channel_;
    std::ostream& out_;
    std::ostream& err_;
};

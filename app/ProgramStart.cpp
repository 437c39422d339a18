#include "app/ProgramStart.h"

#include <exception>

#include "app/CommandLineModes.h"
#include "app/FirstRunHelp.h"
#include "system/AppPaths.h"
#include "system/HandOverChannel.h"
#include "system/SEvent.h"
#include "system/StartDetached.h"

namespace {
constexpr int ExitStartFailed = 1;
}

ProgramStart::ProgramStart(StartHost& host, std::ostream& out, std::ostream& err)
    : startMain(StartMainInstance), host_(host), out_(out), err_(err) {}

int ProgramStart::Run(const StartRequest& request) {
    if (request.mode == StartMode::HandOver) {
        HandOver handOver(ProcessHandOverChannel(), startMain, handOverOptions);
        return static_cast<int>(handOver.Run(request.paths));
    }
    if (ShowsFirstRunHelp(request.mode)) {
        ShowFirstRunHelp([this](const std::string& page) { host_.OpenDocument(page); });
    }
    if (request.mode != StartMode::Normal) {
        return RunCommandLineMode(request, ExecutablePath(), out_, err_);
    }
    return NormalStart();
}

int ProgramStart::NormalStart() {
    bool running = false;
    const SEvent marker(MainInstanceMarkerName, &running);
    if (running) {
        return 0;
    }
    // Created before the window, so that its first tick finds the block ready.
    ProcessHandOverChannel();
    std::string failure;
    try {
        return host_.RunWindow();
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unknown error";
    }
    failure = "Brindlex Music Converter could not go on: " + failure;
    err_ << "brindlex: " << failure << '\n';
    host_.ShowStartFailure(failure);
    return ExitStartFailed;
}

#include "app/ProgramStart.h"

#include <exception>

#include "app/CommandLineModes.h"
#include "app/FirstRunHelp.h"
#include "system/AppPaths.h"
#include "system/HandOverChannel.h"
#include "system/HandOverPaths.h"
#include "system/NamedEvent.h"
#include "system/StartDetached.h"

namespace {
constexpr int ExitStartFailed = 1;
constexpr int ExitRefused = static_cast<int>(HandOverResult::Refused);
} // namespace

ProgramStart::ProgramStart(StartHost& host, std::ostream& out, std::ostream& err,
                           HandOverChannel& channel)
    : startMain(StartMainInstance), host_(host), channel_(channel), out_(out), err_(err) {}

int ProgramStart::Run(const StartRequest& request) {
    if (request.mode == StartMode::HandOver) {
        return HandOverPaths(request.paths);
    }
    if (ShowsFirstRunHelp(request.mode)) {
        const FirstRunHelp help;
        if (!help.Page().empty()) {
            host_.OpenHelpPage(help.Page(), [help] { help.MarkShown(); });
        }
    }
    if (request.mode != StartMode::Normal) {
        return RunCommandLineMode(request, ExecutablePath(), out_, err_);
    }
    return NormalStart();
}

// The refused paths are named first; the others still go, and the first failure decides.
int ProgramStart::HandOverPaths(const std::vector<std::string>& paths) {
    const ::HandOverPaths checked = ::HandOverPaths::Check(paths);
    for (const std::string& refusal : checked.refusals) {
        err_ << "brindlex: " << refusal << '\n';
    }
    int status = 0;
    if (!checked.passable.empty()) {
        HandOver handOver(channel_, startMain, handOverOptions);
        status =
            static_cast<int>(handOver.Run(checked.passable, ActivationTokens::FromEnvironment()));
    }
    return status == 0 && !checked.refusals.empty() ? ExitRefused : status;
}

int ProgramStart::NormalStart() {
    bool running = false;
    const NamedEvent marker(MainInstanceMarkerName, &running);
    if (running) {
        // The user asked for the window: the running one comes to the front.
        HandOver(channel_, {}, handOverOptions)
            .BringRunningToFront(ActivationTokens::FromEnvironment());
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

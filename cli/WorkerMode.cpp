#include "cli/WorkerMode.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>

#include "cli/ConvertCommand.h"
#include "cli/SettingsFields.h"
#include "cli/StopSignals.h"
#include "cli/WorkerHost.h"
#include "cli/WorkerMessages.h"
#include "engine/JobEnvironment.h"
#include "engine/trdConversion.h"
#include "sources/CreateFileInput.h"
#include "system/FileRoutines.h"

namespace {
constexpr int ChannelFd = 3;

// What this process leaves behind should it die while writing to path: a named temporary file
// beside the output, or nothing for an unnamed one. The output itself is only ever put in place
// whole.
std::string LeftBehind(const std::string& path) {
    return path.starts_with("/proc/self/fd/") ? std::string() : path;
}

void ConvertFile(WorkerChannel& channel, const ConversionSettings& settings,
                 const JobEnvironment& environment, const std::string& input,
                 const std::string& output, bool mayReplace) {
    WorkerHost host(channel, input, output, mayReplace);
    if (!CaughtStopSignal()) {
        // Tells the parent which file to remove should this process die while writing it.
        auto createSource = [&channel](const char* path, const RowContext& row,
                                       ConversionError& code) {
            channel.Send({WorkerMessages::Writes, LeftBehind(row.OutputPath)});
            return CreateFileInput(path, row, code);
        };
        // The conversion thread starts with the stop signals blocked, so this thread gets them.
        const sigset_t stops = StopSignalSet();
        sigset_t previous;
        pthread_sigmask(SIG_BLOCK, &stops, &previous);
        trdConversion worker(host, settings, environment, false, GetFileSizeOfName(input),
                             createSource);
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        while (worker.Running()) {
            worker.CheckSynchronize(std::chrono::milliseconds(25));
            if (CaughtStopSignal()) {
                worker.Terminate();
            }
        }
        worker.WaitFor();
    }
    channel.Send({WorkerMessages::Done, host.Outcome()});
}
} // namespace

int RunWorkerMode(const JobEnvironment& environment) {
    // Ctrl-C reaches the whole process group; the parent decides, and sends SIGTERM to cancel.
    // Both were blocked from the start until now, so none could end this process unhandled.
    std::signal(SIGINT, SIG_IGN);
    CatchStopSignals(false, true);
    const sigset_t stops = StopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
    // A parent that dies without a word cancels the file being converted.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (fcntl(ChannelFd, F_SETFD, FD_CLOEXEC) != 0) {
        std::fprintf(stderr, "brindlex-convert: --worker is for brindlex-convert's own use\n");
        return ExitUsage;
    }
    WorkerChannel channel{UniqueFd(ChannelFd)};
    WorkerChannel::Message message;
    ConversionSettings settings;
    if (!channel.Receive(message) || message.empty() || message[0] != WorkerMessages::Settings ||
        !ApplySettingsFields({message.begin() + 1, message.end()}, settings)) {
        std::fprintf(stderr, "brindlex-convert: --worker is for brindlex-convert's own use\n");
        return ExitUsage;
    }
    // Once stopped, each further file is answered as not started; the parent then lets us go.
    while (channel.Receive(message)) {
        if (message.size() != 4 || message[0] != WorkerMessages::File ||
            (message[3] != WorkerMessages::MayReplace && message[3] != WorkerMessages::Keep)) {
            return ExitUsage;
        }
        ConvertFile(channel, settings, environment, message[1], message[2],
                    message[3] == WorkerMessages::MayReplace);
    }
    return ExitConverted;
}

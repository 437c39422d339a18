#include "jobs/WorkerMode.h"

#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>

#include <utility>

#include "engine/JobEnvironment.h"
#include "engine/ObserverGroup.h"
#include "engine/OpenAudioSource.h"
#include "engine/RowConverter.h"
#include "jobs/ChannelReporter.h"
#include "jobs/PartFields.h"
#include "jobs/SettingsFields.h"
#include "jobs/StopSignals.h"
#include "jobs/WorkerMessages.h"

namespace {
constexpr int ChannelFd = 3;

// Converts one row on this thread; SIGTERM from the parent stops it between two blocks. A parent
// that is gone stops it too, even where its death signal never came: the job it belonged to was
// killed, and a file of a killed job must not take its name.
void ConvertFile(WorkerChannel& channel, RowConverter& converter, const RowRequest& request) {
    ChannelReporter reporter(channel);
    if (CaughtStopSignal()) {
        reporter.Done(RowOutcome::Unstarted, {});
        return;
    }
    converter.Convert(request, reporter,
                      [&channel] { return CaughtStopSignal() != 0 || channel.Closed(); });
}

bool Refuse() {
    std::fprintf(stderr, "brindlex-convert: --worker is for brindlex-convert's own use\n");
    return false;
}
} // namespace

bool RunWorkerMode(const JobEnvironment& environment, const AudioObserverKinds& kinds) {
    // Ctrl-C reaches the whole process group; the parent decides, and sends SIGTERM to cancel.
    // Both were blocked from the start until now, so none could end this process unhandled.
    std::signal(SIGINT, SIG_IGN);
    CatchStopSignals(false, true);
    const sigset_t stops = StopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
    // A parent that dies without a word cancels the file being converted.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (fcntl(ChannelFd, F_SETFD, FD_CLOEXEC) != 0) {
        return Refuse();
    }
    WorkerChannel channel{UniqueFd(ChannelFd)};
    WorkerChannel::Message message;
    ConversionSettings settings;
    if (!channel.Receive(message) || message.empty() || message[0] != WorkerMessages::Settings ||
        !ApplySettingsFields({message.begin() + 1, message.end()}, settings)) {
        return Refuse();
    }
    JobEnvironment observed = environment;
    RowConverter converter(settings, observed, OpenAudioSource);
    bool first = true;
    // Once stopped, each further file is answered as not started; the parent then lets us go.
    while (channel.Receive(message)) {
        if (std::exchange(first, false) && message.size() == 2 &&
            message[0] == WorkerMessages::Observe) {
            const AudioObserverFactory named = kinds ? kinds(message[1]) : AudioObserverFactory();
            if (!named) {
                return Refuse();
            }
            // Beside the observers the settings ask for.
            observed.Observers = ObserverGroup::Of({environment.Observers, named});
            continue;
        }
        if (message.size() < 4 || message[0] != WorkerMessages::File ||
            (message[3] != WorkerMessages::MayReplace && message[3] != WorkerMessages::Keep)) {
            return Refuse();
        }
        RowRequest request{message[1], message[2], message[3] == WorkerMessages::MayReplace};
        if (message.size() > 4) {
            request.Part = PartFromFields(message.begin() + 4, message.end());
            if (!request.Part) {
                return Refuse();
            }
        }
        ConvertFile(channel, converter, request);
    }
    return true;
}

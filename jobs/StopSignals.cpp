#include "jobs/StopSignals.h"

namespace {
volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void OnStopSignal(int signal) {
    caughtSignal = signal;
}

void Catch(int signal) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read or wait returns, so the loop sees the signal at once.
    sigaction(signal, &action, nullptr);
}
} // namespace

void CatchStopSignals(bool interrupt, bool terminate) {
    if (interrupt) {
        Catch(SIGINT);
    }
    if (terminate) {
        Catch(SIGTERM);
    }
}

int CaughtStopSignal() {
    return caughtSignal;
}

sigset_t StopSignalSet() {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    return stops;
}

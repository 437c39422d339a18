#include "QuitOnSignals.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace {
constexpr std::array Signals{SIGTERM, SIGHUP, SIGINT};
// Only read by the handler; one window per process.
volatile sig_atomic_t writeFd = -1;
} // namespace

QuitOnSignals::QuitOnSignals(std::function<void()> quit) : quit_(std::move(quit)) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep ending the process at once
    }
    read_.Reset(fds[0]);
    write_.Reset(fds[1]);
    writeFd = write_.Get();
    notifier_ = std::make_unique<QSocketNotifier>(read_.Get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitOnSignals::Received);
    struct sigaction action {};
    action.sa_handler = &QuitOnSignals::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals) {
        sigaction(signal, &action, nullptr);
    }
}

QuitOnSignals::~QuitOnSignals() {
    if (!notifier_) {
        return;
    }
    for (const int signal : Signals) {
        std::signal(signal, SIG_DFL);
    }
    writeFd = -1;
}

void QuitOnSignals::Handle(int) {
    const int saved = errno;
    const char byte = 1;
    if (writeFd >= 0) {
        [[maybe_unused]] const ssize_t written = write(writeFd, &byte, 1);
    }
    errno = saved;
}

void QuitOnSignals::Received() {
    char bytes[16];
    while (read(read_.Get(), bytes, sizeof bytes) > 0) {
    }
    if (quit_) {
        quit_();
    }
}

#pragma once
// Ends the window in an orderly way when the session asks the program to end (SIGTERM at
// logout, SIGHUP, SIGINT from a terminal), so that the options are saved as on Exit. The signal
// handler only writes to a pipe; the quit runs on the GUI thread.
#include <QObject>
#include <functional>
#include <memory>

#include "system/UniqueFd.h"

class QSocketNotifier;

class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(std::function<void()> quit);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

private:
    static void Handle(int signal);
    void Received();

    UniqueFd read_;
    UniqueFd write_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> quit_;
};

#include "forms/WorkerStepRunner.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "engine/WorkerThread.h"

WorkerStepRunner::WorkerStepRunner(WorkerThread& worker) : worker_(worker) {
    // Runs on the worker's thread: a queued call wakes the GUI thread's event loop, whichever
    // loop is running, and runs the waiting step there.
    worker_.SetStepNotifier([this] {
        QMetaObject::invokeMethod(
            this, [this] { worker_.CheckSynchronize(); }, Qt::QueuedConnection);
    });
}

WorkerStepRunner::~WorkerStepRunner() {
    if (worker_.Running()) {
        worker_.Terminate();
        worker_.WaitFor();
    }
    // The worker has been joined: nothing calls the notifier any more.
    worker_.SetStepNotifier({});
}

void WorkerStepRunner::RunUntilFinished(const std::function<void()>& afterEvents) {
    while (worker_.Running()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        afterEvents();
    }
    worker_.WaitFor();
}

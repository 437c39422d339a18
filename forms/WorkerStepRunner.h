#pragma once
// Waits on the GUI thread for a conversion worker while the window lives: the event loop keeps
// running (repaints, clicks, message boxes), and a step the worker hands over runs as soon as it
// is posted, also inside a message box's own loop. Nothing sleeps while a step waits.
#include <QObject>
#include <functional>

class WorkerThread;

class WorkerStepRunner : public QObject {
    Q_OBJECT
public:
    // Call before the worker starts.
    explicit WorkerStepRunner(WorkerThread& worker);
    ~WorkerStepRunner() override;

    // Processes events until the worker has finished, then joins it. afterEvents runs after
    // each batch of events (the place to ask the worker to stop).
    void RunUntilFinished(const std::function<void()>& afterEvents);

private:
    WorkerThread& worker_;
};

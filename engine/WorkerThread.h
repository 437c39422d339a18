#pragma once
// A worker thread whose steps that touch the host (a window or a terminal) run on the host's
// thread: Synchronize hands a step over and blocks the worker until the host has run it. The host
// keeps calling CheckSynchronize while it waits for the worker, as its message loop would.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

class WorkerThread {
public:
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Asks the worker to stop and runs its pending steps until it has; call on the host's thread.
    virtual ~WorkerThread();

    // Starts Execute on a new thread; the calling thread becomes the host's thread.
    void Start();
    // Asks Execute to stop at its next check; it does not wait.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // True from construction until Execute has returned.
    bool Running() const { return running_; }

    // Host's thread: runs the step the worker is waiting on, if any, else waits up to `wait` for
    // one to arrive or for the worker to finish. True when a step ran.
    bool CheckSynchronize(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    // Host's thread: runs the worker's steps until Execute has returned.
    void WaitFor();

    // Called on the worker's thread each time a step starts waiting for the host and once more
    // when Execute has returned, so that a host blocked in its own event loop can wake up and
    // call CheckSynchronize at once. Set it before Start.
    void SetStepNotifier(std::function<void()> notify) { notify_ = std::move(notify); }

protected:
    WorkerThread() = default;
    virtual void Execute() = 0;
    // Worker's thread: runs step on the host's thread and returns once it has. An exception
    // thrown by the step is rethrown here.
    void Synchronize(const std::function<void()>& step);

private:
    void Body();

    std::thread thread_;
    std::thread::id hostThread_;
    std::function<void()> notify_;
    std::atomic<bool> terminated_ = false;
    std::atomic<bool> running_ = true;

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* pending_ = nullptr;
    bool stepDone_ = false;
    std::exception_ptr stepFailure_;
};

#include "engine/WorkerThread.h"

#include <utility>

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) {
        Terminate();
        WaitFor();
    }
}

void WorkerThread::Start() {
    hostThread_ = std::this_thread::get_id();
    thread_ = std::thread(&WorkerThread::Body, this);
}

void WorkerThread::Body() {
    try {
        Execute();
    } catch (...) {
        // Execute reports its own failures; nothing may escape a thread.
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        changed_.notify_all();
    }
    if (notify_) {
        notify_();
    }
}

void WorkerThread::Synchronize(const std::function<void()>& step) {
    if (std::this_thread::get_id() == hostThread_) {
        step();
        return;
    }
    std::unique_lock lock(mutex_);
    pending_ = &step;
    stepDone_ = false;
    stepFailure_ = nullptr;
    changed_.notify_all();
    if (notify_) {
        lock.unlock();
        notify_();
        lock.lock();
    }
    changed_.wait(lock, [this] { return stepDone_; });
    pending_ = nullptr;
    if (stepFailure_) {
        std::rethrow_exception(std::exchange(stepFailure_, nullptr));
    }
}

bool WorkerThread::CheckSynchronize(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return (pending_ && !stepDone_) || !running_; };
    if (!changed_.wait_for(lock, wait, ready) || !pending_ || stepDone_) {
        return false;
    }
    const std::function<void()>* step = pending_;
    lock.unlock();
    std::exception_ptr failure;
    try {
        (*step)();
    } catch (...) {
        failure = std::current_exception();
    }
    lock.lock();
    stepFailure_ = failure;
    stepDone_ = true;
    changed_.notify_all();
    return true;
}

void WorkerThread::WaitFor() {
    if (!thread_.joinable()) {
        return;
    }
    while (running_) {
        CheckSynchronize(std::chrono::milliseconds(25));
    }
    thread_.join();
}

#include "engine/ConversionThread.h"

ConversionThread::ConversionThread(RowConverter& converter, RowReporter& reporter)
    : converter_(converter), reporter_(reporter), thread_(&ConversionThread::Execute, this) {}

ConversionThread::~ConversionThread() {
    Terminate();
    thread_.join();
}

void ConversionThread::Begin(RowRequest request) {
    const std::lock_guard lock(mutex_);
    next_ = std::move(request);
    changed_.notify_all();
}

void ConversionThread::Terminate() {
    const std::lock_guard lock(mutex_);
    terminated_ = true;
    changed_.notify_all();
}

bool ConversionThread::Terminated() const {
    const std::lock_guard lock(mutex_);
    return terminated_;
}

void ConversionThread::Execute() {
    const RowConverter::StopCheck stop = [this] { return Terminated(); };
    while (true) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return next_ || terminated_; });
        if (!next_) {
            return;
        }
        const RowRequest request = std::move(*next_);
        next_.reset();
        lock.unlock();
        converter_.Convert(request, reporter_, stop);
    }
}

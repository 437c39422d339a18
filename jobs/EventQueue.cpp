#include "jobs/EventQueue.h"

#include <sys/eventfd.h>

#include <cstdint>
#include <utility>

EventQueue::EventQueue() : signal_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void EventQueue::Push(RowEvent event) {
    const std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(signal_.Get(), &one, sizeof one);
}

std::vector<RowEvent> EventQueue::Take() {
    const std::lock_guard lock(mutex_);
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(signal_.Get(), &count, sizeof count);
    return std::exchange(events_, {});
}

#include "jobs/ThreadRunner.h"

#include <poll.h>

ThreadRunner::ThreadRunner(RowConverter& converter)
    : worker_(std::make_unique<ConversionThread>(converter, *this)) {}

ThreadRunner::~ThreadRunner() {
    worker_.reset();
}

std::optional<std::size_t> ThreadRunner::IdleSlot() const {
    return busy_ ? std::nullopt : std::optional<std::size_t>(0);
}

bool ThreadRunner::Begin(std::size_t, const RowRequest& request, std::string&) {
    busy_ = true;
    worker_->Begin(request);
    return true;
}

std::vector<RowEvent> ThreadRunner::Wait(int wake, const sigset_t* open) {
    pollfd fds[2] = {{events_.Fd(), POLLIN, 0}, {wake, POLLIN, 0}};
    ppoll(fds, 2, nullptr, open);
    std::vector<RowEvent> events = events_.Take();
    for (const RowEvent& event : events) {
        busy_ = busy_ && event.What != RowEvent::Kind::Done;
    }
    return events;
}

void ThreadRunner::Cancel() {
    worker_->Terminate();
}

void ThreadRunner::Progress(double percent, uint32_t tick) {
    events_.Push(RowEvent::Progressed(0, percent, tick));
}

void ThreadRunner::Line(const std::string& line) {
    events_.Push(RowEvent::LineOf(0, line));
}

void ThreadRunner::Verifying() {
    events_.Push(RowEvent::Checking(0));
}

void ThreadRunner::Pending(PendingOutput output) {
    events_.Push(RowEvent::Waiting(0, std::move(output)));
}

void ThreadRunner::Wrote() {
    events_.Push(RowEvent::Written(0));
}

void ThreadRunner::Done(RowOutcome outcome, const RowValues& values) {
    events_.Push(RowEvent::Ended(0, outcome, values));
}

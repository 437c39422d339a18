#include "jobs/ProcessPoolRunner.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>

#include "jobs/PartFields.h"
#include "jobs/SettingsFields.h"
#include "jobs/ValueFields.h"
#include "jobs/WorkerMessages.h"

namespace {
std::string CrashLine(const std::string& input, const std::string& how) {
    return "Unable to convert '" + input + "': the conversion crashed (" + how + ").";
}

std::optional<RowOutcome> OutcomeNamed(const std::string& name) {
    for (const auto& [outcome, text] : WorkerMessages::Outcomes) {
        if (name == text) {
            return outcome;
        }
    }
    return std::nullopt;
}
} // namespace

ProcessPoolRunner::ProcessPoolRunner(std::string program, const ConversionSettings& settings,
                                     std::size_t slots, std::string observers)
    : program_(std::move(program)), observers_(std::move(observers)),
      slots_(std::max<std::size_t>(slots, 1)) {
    settingsMessage_ = SettingsFields(settings);
    settingsMessage_.insert(settingsMessage_.begin(), WorkerMessages::Settings);
}

bool ProcessPoolRunner::StartWorker(Slot& slot, std::string& problem) {
    std::unique_ptr<WorkerProcess> process = WorkerProcess::Start(program_, problem);
    if (!process) {
        return false;
    }
    if (!process->Channel().Send(settingsMessage_) ||
        (!observers_.empty() && !process->Channel().Send({WorkerMessages::Observe, observers_}))) {
        problem = "it ended at once";
        return false;
    }
    slot.process = std::move(process);
    return true;
}

bool ProcessPoolRunner::Start(std::string& problem) {
    bool any = false;
    for (Slot& slot : slots_) {
        any = StartWorker(slot, problem) || any;
    }
    return any;
}

std::optional<std::size_t> ProcessPoolRunner::IdleSlot() const {
    // A slot whose worker runs already, before one that needs a new worker, before one whose
    // worker is busy but has room behind its row.
    const auto first = [this](auto wanted) -> std::optional<std::size_t> {
        const auto found = std::find_if(slots_.begin(), slots_.end(), wanted);
        return found == slots_.end() ? std::nullopt
                                     : std::optional<std::size_t>(found - slots_.begin());
    };
    if (const auto running = first([](const Slot& s) { return s.rows.empty() && s.process; })) {
        return running;
    }
    if (const auto idle = first([](const Slot& s) { return s.rows.empty(); })) {
        return idle;
    }
    if (cancelling_) {
        return std::nullopt;
    }
    return first([](const Slot& s) { return s.process && s.rows.size() < RowsPerWorker; });
}

bool ProcessPoolRunner::Busy() const {
    return std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.rows.empty(); });
}

bool ProcessPoolRunner::Send(Slot& slot, const RowRequest& request) {
    std::vector<std::string> message{WorkerMessages::File, request.Input, request.Output,
                                     request.MayReplace ? WorkerMessages::MayReplace
                                                        : WorkerMessages::Keep};
    if (request.Part) {
        AppendPartFields(*request.Part, message);
    }
    return slot.process->Channel().Send(message);
}

bool ProcessPoolRunner::Begin(std::size_t index, const RowRequest& request, std::string& problem) {
    Slot& slot = slots_[index];
    if (!slot.process && !StartWorker(slot, problem)) {
        return false;
    }
    slot.rows.push_back({request, {}});
    // A worker that is gone is noticed at its closed channel, as if it had crashed.
    Send(slot, request);
    return true;
}

std::vector<RowEvent> ProcessPoolRunner::Wait(int wake, const sigset_t* open) {
    std::vector<pollfd> fds{{wake, POLLIN, 0}};
    std::vector<std::size_t> owners{0};
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        if (slots_[s].process) {
            fds.push_back({slots_[s].process->Channel().Fd(), POLLIN, 0});
            owners.push_back(s);
        }
    }
    std::vector<RowEvent> events;
    if (ppoll(fds.data(), fds.size(), nullptr, open) <= 0) {
        return events; // a signal
    }
    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents != 0) {
            ReadReports(owners[i], events);
        }
    }
    return events;
}

void ProcessPoolRunner::Cancel() {
    cancelling_ = true;
    for (const Slot& slot : slots_) {
        if (!slot.rows.empty() && slot.process) {
            slot.process->Signal(SIGTERM);
        }
    }
}

void ProcessPoolRunner::ReadReports(std::size_t index, std::vector<RowEvent>& events) {
    Slot& slot = slots_[index];
    const WorkerChannel::ReadResult result = slot.process->Channel().ReadSome();
    WorkerChannel::Message message;
    while (slot.process && slot.process->Channel().Next(message)) {
        Handle(index, message, events);
    }
    if (slot.process && result == WorkerChannel::ReadResult::Ended) {
        WorkerEnded(index, events);
    }
}

void ProcessPoolRunner::Handle(std::size_t index, const WorkerChannel::Message& message,
                               std::vector<RowEvent>& events) {
    Slot& slot = slots_[index];
    const std::string& what = message.front();
    // Taken whatever becomes of the message, so that each descriptor meets its own.
    UniqueFd descriptor =
        what == WorkerMessages::Pending ? slot.process->Channel().TakeDescriptor() : UniqueFd();
    // Only "done" has fields beyond its first: the values after the outcome.
    if (slot.rows.empty() || (message.size() > 2 && what != WorkerMessages::Done)) {
        return;
    }
    const std::string value = message.size() >= 2 ? message[1] : std::string();
    if (what == WorkerMessages::Writes) {
        slot.rows.front().writes = value;
    } else if (what == WorkerMessages::Progress) {
        double percent = 0;
        std::from_chars(value.data(), value.data() + value.size(), percent);
        events.push_back(RowEvent::Progressed(index, std::clamp(percent, 0.0, 100.0)));
    } else if (what == WorkerMessages::Line) {
        events.push_back(RowEvent::LineOf(index, value));
    } else if (what == WorkerMessages::Verifying) {
        events.push_back(RowEvent::Checking(index));
    } else if (what == WorkerMessages::Pending && descriptor.Valid()) {
        events.push_back(RowEvent::Waiting(index, PendingOutput(std::move(descriptor), value)));
    } else if (what == WorkerMessages::Wrote) {
        events.push_back(RowEvent::Written(index));
    } else if (what == WorkerMessages::Done) {
        const auto valuesFrom = message.size() >= 2 ? message.begin() + 2 : message.end();
        RowEnded(index, OutcomeNamed(value).value_or(RowOutcome::Failed),
                 ValuesFromFields(valuesFrom, message.end()), events);
    }
}

void ProcessPoolRunner::RowEnded(std::size_t index, RowOutcome outcome, RowValues values,
                                 std::vector<RowEvent>& events) {
    Slot& slot = slots_[index];
    slot.rows.pop_front();
    events.push_back(RowEvent::Ended(index, outcome, std::move(values)));
    if (outcome != RowOutcome::Cancelled && outcome != RowOutcome::Unstarted) {
        return;
    }
    // A worker that was told to stop answers every row it holds as not started, and ends once it
    // holds none. Stopped by a signal of its own, outside a cancel, it is let go at once and the
    // rows it held go to a fresh worker.
    if (!cancelling_ || slot.rows.empty()) {
        slot.process.reset();
        HandOnHeldRows(index, events);
    }
}

void ProcessPoolRunner::WorkerEnded(std::size_t index, std::vector<RowEvent>& events) {
    Slot& slot = slots_[index];
    const std::string how = slot.process->Reap();
    slot.process.reset();
    if (slot.rows.empty()) {
        return; // an idle worker ended; another starts when a row needs it
    }
    const Held crashed = std::move(slot.rows.front());
    slot.rows.pop_front();
    // A named temporary file goes; the output itself is only ever put in place whole.
    if (!crashed.writes.empty()) {
        unlink(crashed.writes.c_str());
    }
    events.push_back(RowEvent::LineOf(
        index, CrashLine(crashed.request.Input, how.empty() ? "it ended early" : how)));
    events.push_back(RowEvent::Ended(index, RowOutcome::Failed));
    HandOnHeldRows(index, events);
}

// The rows a worker held but never began go to a fresh worker on the same slot, in their order;
// while cancelling, they end unstarted.
void ProcessPoolRunner::HandOnHeldRows(std::size_t index, std::vector<RowEvent>& events) {
    Slot& slot = slots_[index];
    std::string problem;
    if (slot.rows.empty() || (!cancelling_ && StartWorker(slot, problem))) {
        for (Held& held : slot.rows) {
            held.writes.clear();
            Send(slot, held.request);
        }
        return;
    }
    for (const Held& held : slot.rows) {
        if (!cancelling_) {
            events.push_back(RowEvent::LineOf(index, "Unable to convert '" + held.request.Input +
                                                         "': no worker process could be started (" +
                                                         problem + ")."));
        }
        events.push_back(
            RowEvent::Ended(index, cancelling_ ? RowOutcome::Unstarted : RowOutcome::Failed));
    }
    slot.rows.clear();
}

#include "cli/WorkerHost.h"

#include "cli/WorkerMessages.h"

WorkerHost::WorkerHost(WorkerChannel& channel, std::string input, std::string output,
                       bool mayReplace)
    : channel_(channel), input_(std::move(input)), output_(std::move(output)),
      mayReplace_(mayReplace) {}

void WorkerHost::SetFileBarWidth(int32_t width) {
    if (width != fileBar_) {
        fileBar_ = width;
        channel_.Send({WorkerMessages::Bar, std::to_string(width)});
    }
}

void WorkerHost::AddErrorLine(const std::string& line) {
    channel_.Send({WorkerMessages::Line, line});
}

void WorkerHost::RowDone(uint32_t, RowOutcome outcome) {
    outcome_ = outcome;
}

void WorkerHost::OutputWritten(uint32_t) {
    channel_.Send({WorkerMessages::Wrote});
}

std::string WorkerHost::Outcome() const {
    if (!outcome_) {
        return WorkerMessages::Unstarted;
    }
    switch (*outcome_) {
    case RowOutcome::Converted:
        return WorkerMessages::Converted;
    case RowOutcome::Failed:
        return WorkerMessages::Failed;
    case RowOutcome::Cancelled:
        break;
    }
    return WorkerMessages::Cancelled;
}

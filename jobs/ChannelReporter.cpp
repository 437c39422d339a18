#include "jobs/ChannelReporter.h"

#include "jobs/ValueFields.h"
#include "jobs/WorkerMessages.h"

void ChannelReporter::Writes(const std::string& leftBehind) {
    lastPercent_ = -1;
    channel_.Send({WorkerMessages::Writes, leftBehind});
}

void ChannelReporter::Progress(double percent, uint32_t) {
    const int whole = static_cast<int>(percent);
    if (whole != lastPercent_) {
        lastPercent_ = whole;
        channel_.Send({WorkerMessages::Progress, std::to_string(whole)});
    }
}

void ChannelReporter::Line(const std::string& line) {
    channel_.Send({WorkerMessages::Line, line});
}

void ChannelReporter::Verifying() {
    channel_.Send({WorkerMessages::Verifying});
}

void ChannelReporter::Pending(PendingOutput output) {
    // Once sent, the parent holds the file (and its name, if any): this process lets go of both.
    if (channel_.Send({WorkerMessages::Pending, output.Named()}, output.Fd())) {
        output.Release();
    }
}

void ChannelReporter::Wrote() {
    channel_.Send({WorkerMessages::Wrote});
}

void ChannelReporter::Done(RowOutcome outcome, const RowValues& values) {
    for (const auto& [known, name] : WorkerMessages::Outcomes) {
        if (known == outcome) {
            WorkerChannel::Message message{WorkerMessages::Done, name};
            AppendValueFields(values, message);
            channel_.Send(message);
        }
    }
}

#pragma once
// A worker process's report of the row it converts, sent to its parent over the channel (see
// WorkerMessages).
#include "engine/RowReporter.h"
#include "jobs/WorkerChannel.h"

class ChannelReporter final : public RowReporter {
public:
    explicit ChannelReporter(WorkerChannel& channel) : channel_(channel) {}

    void Writes(const std::string& leftBehind) override;
    // Only whole percents go over the channel, and each once.
    void Progress(double percent, uint32_t tick) override;
    void Line(const std::string& line) override;
    void Verifying() override;
    // The output's descriptor goes along with the message.
    void Pending(PendingOutput output) override;
    void Wrote() override;
    void Done(RowOutcome outcome, const RowValues& values) override;

private:
    WorkerChannel& channel_;
    int lastPercent_ = -1;
};

#pragma once
// A worker process of brindlex-convert: this program started again with --worker, connected to
// us by a socket that is its descriptor 3. Its standard output goes to our standard error, so
// nothing a codec library prints can mix with the job's last line.
#include <memory>
#include <string>
#include <sys/types.h>

#include "jobs/WorkerChannel.h"

class WorkerProcess {
public:
    // The option that makes brindlex-convert a worker; for its own use only.
    static constexpr const char* Option = "--worker";

    // Starts program as a worker; null, with the reason in problem, when it cannot.
    static std::unique_ptr<WorkerProcess> Start(const std::string& program, std::string& problem);
    // Closes the channel, which ends a waiting worker, and waits for the process.
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    WorkerChannel& Channel() { return channel_; }
    void Signal(int signal) const;
    // After its channel has ended: waits for the process and tells how it ended ("Segmentation
    // fault", "exit status 3"); empty when it ended normally.
    std::string Reap();

private:
    WorkerProcess(pid_t pid, UniqueFd socket) : pid_(pid), channel_(std::move(socket)) {}

    pid_t pid_;
    WorkerChannel channel_;
    bool reaped_ = false;
};

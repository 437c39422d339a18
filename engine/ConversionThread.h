#pragma once
// The worker thread of a job converted inside this process: converts the rows it is handed, one
// at a time, with a RowConverter, and reports each to its reporter from this thread.
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/RowConverter.h"

class ConversionThread {
public:
    // converter and reporter must outlive the thread, which starts at once.
    ConversionThread(RowConverter& converter, RowReporter& reporter);
    // Asks the row being converted to stop and waits for the thread.
    ~ConversionThread();
    ConversionThread(const ConversionThread&) = delete;
    ConversionThread& operator=(const ConversionThread&) = delete;

    // Hands over the next row; the one before must have reported Done.
    void Begin(RowRequest request);
    // Asks the row being converted to stop between two blocks; no row starts afterwards.
    void Terminate();

private:
    void Execute();
    bool Terminated() const;

    RowConverter& converter_;
    RowReporter& reporter_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<RowRequest> next_;
    bool terminated_ = false;
    std::thread thread_;
};

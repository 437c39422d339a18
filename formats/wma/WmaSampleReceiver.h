#pragma once
// Receives the WMA reader's samples and statuses on the reader's thread and writes the samples
// straight into the conversion's sink. The worker thread reads its flags and progress.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "codecs/WmaAudioApi.h"
#include "engine/RowResult.h"

class OutputSink;

class WmaSampleReceiver final : public IWMAudioReadCallback {
public:
    // Failures the reader reports go into result.
    explicit WmaSampleReceiver(RowResult& result) : result_(result) {}
    // Owned by the source, which deletes it whatever its reference count.
    ~WmaSampleReceiver() = default;
    WmaSampleReceiver(const WmaSampleReceiver&) = delete;
    WmaSampleReceiver& operator=(const WmaSampleReceiver&) = delete;

    HRESULT QueryInterface(const void* interfaceId, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    // Writes the samples to the sink; a failed write ends the stream.
    HRESULT OnSample(const uint8_t* data, uint32_t byteCount, uint64_t timeMs) override;
    HRESULT OnStatus(uint32_t status, HRESULT result, const void* param) override;

    // Set before the reader starts.
    void SetSink(OutputSink* sink) { sink_ = sink; }
    void SetTotal(int32_t total) { total_ = total; }

    // Waits at most `limit` for the stream to end; true once it has.
    bool WaitUntilFinished(std::chrono::milliseconds limit);
    int32_t Total() const { return total_; }
    int32_t Done() const { return done_; }

private:
    void Finish();

    RowResult& result_;
    std::mutex mutex_;
    std::condition_variable finishing_;
    std::atomic<bool> finished_ = false;
    std::atomic<int32_t> total_ = 0;
    std::atomic<int32_t> done_ = 0;
    std::atomic<int32_t> references_ = 1;
    OutputSink* sink_ = nullptr;
};

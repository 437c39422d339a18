#include "formats/wma/WmaSampleReceiver.h"

#include <algorithm>
#include <limits>

#include "sinks/OutputSink.h"

HRESULT WmaSampleReceiver::QueryInterface(const void*, void**) {
    return E_NOINTERFACE;
}

uint32_t WmaSampleReceiver::AddRef() {
    return static_cast<uint32_t>(++references_);
}

uint32_t WmaSampleReceiver::Release() {
    return static_cast<uint32_t>(--references_);
}

HRESULT WmaSampleReceiver::OnSample(const uint8_t* data, uint32_t byteCount, uint64_t timeMs) {
    // Nothing more is written once the stream has ended (after a failed write).
    if (byteCount == 0 || finished_)
        return S_OK;
    done_ = static_cast<int32_t>(std::min<uint64_t>(timeMs, std::numeric_limits<int32_t>::max()));
    // The sink has raised the write error; decoding on would only keep the worker waiting.
    if (sink_ != nullptr && !sink_->Write(data, byteCount))
        Finish();
    return S_OK;
}

HRESULT WmaSampleReceiver::OnStatus(uint32_t status, HRESULT, const void*) {
    // The whole value: a status whose low byte happens to match one of these is another status.
    switch (status) {
    case WMA_STATUS_NO_RIGHTS:
        result_.ProtectedInput = true;
        break;
    // The stream ends with samples missing: a file that is not complete must not pass as
    // converted.
    case WMA_STATUS_ERROR:
        result_.InputError = ConversionError::ceRead;
        break;
    case WMA_STATUS_MISSING_CODEC:
        result_.InputError = ConversionError::ceCodec;
        break;
    case WMA_STATUS_END_OF_FILE:
        break;
    default:
        return S_OK;
    }
    Finish();
    return S_OK;
}

void WmaSampleReceiver::Finish() {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    finishing_.notify_all();
}

bool WmaSampleReceiver::WaitUntilFinished(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return finishing_.wait_for(lock, limit, [this] { return finished_.load(); });
}

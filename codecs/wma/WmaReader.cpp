#include "codecs/wma/WmaReader.h"

#include <cstring>
#include <strings.h>
#include <system_error>

WmaReader::WmaReader(std::unique_ptr<AsfAudioDecoder> decoder, IWMAudioReadCallback* callback)
    : decoder_(std::move(decoder)), callback_(callback) {
    callback_->AddRef();
}

WmaReader::~WmaReader() {
    Stop();
    callback_->Release();
}

HRESULT WmaReader::GetAttributeByName(const char* name, uint32_t* type, uint8_t* value,
                                      uint16_t* length) {
    if (name == nullptr || type == nullptr || length == nullptr)
        return E_INVALIDARG;
    if (strcasecmp(name, WMA_ATTRIBUTE_DURATION) != 0)
        return E_INVALIDARG;
    const uint32_t duration = decoder_->DurationMs();
    const uint16_t available = *length;
    *type = WMA_TYPE_DWORD;
    *length = sizeof duration;
    if (value == nullptr || available < sizeof duration)
        return E_INVALIDARG;
    std::memcpy(value, &duration, sizeof duration);
    return S_OK;
}

HRESULT WmaReader::GetOutputFormat(WAVEFORMATEX* format, uint32_t size) {
    if (format == nullptr || size < sizeof(WAVEFORMATEX))
        return E_INVALIDARG;
    *format = decoder_->OutputFormat();
    return S_OK;
}

HRESULT WmaReader::Start() {
    if (started_)
        return E_FAIL;
    started_ = true;
    try {
        thread_ = std::thread(&WmaReader::Decode, this);
    } catch (const std::system_error&) {
        // The stream still has to end, or the caller waits for ever.
        callback_->OnStatus(WMA_STATUS_ERROR, E_FAIL, nullptr);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT WmaReader::Stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    return S_OK;
}

void WmaReader::Decode() {
    const WMAudioStatus status =
        decoder_->Run([this](const uint8_t* data, uint32_t byteCount,
                             uint64_t timeMs) { callback_->OnSample(data, byteCount, timeMs); },
                      stop_);
    // A stopped reader delivers nothing more.
    if (!stop_)
        callback_->OnStatus(status, status == WMA_STATUS_END_OF_FILE ? S_OK : E_FAIL, nullptr);
}

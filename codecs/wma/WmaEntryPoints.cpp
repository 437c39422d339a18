// The module's exported entry points.
#include <mutex>
#include <new>

#include "codecs/wma/WmaReader.h"
#include "codecs/wma/WmaWriter.h"

namespace {
// Damaged or protected input is reported through the interfaces; FFmpeg's own log lines would
// only reach the user's terminal.
void QuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}
} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT
WMAudioCreateReader(const char* path, IWMAudioReadCallback* callback, IWMAudioReader** reader,
                    uint32_t reserved) {
    if (reader == nullptr)
        return E_INVALIDARG;
    *reader = nullptr;
    if (path == nullptr || callback == nullptr || reserved != 0)
        return E_INVALIDARG;
    QuietLibraryLog();
    HRESULT failure = E_FAIL;
    auto decoder = AsfAudioDecoder::Open(path, &failure);
    if (!decoder)
        return failure;
    *reader = new (std::nothrow) WmaReader(std::move(decoder), callback);
    return *reader != nullptr ? S_OK : E_OUTOFMEMORY;
}

extern "C" __attribute__((visibility("default"))) HRESULT
WMAudioCreateWriter(const char* path, IWMAudioWriter** writer) {
    if (writer == nullptr)
        return E_INVALIDARG;
    QuietLibraryLog();
    *writer = path != nullptr ? WmaWriter::Create(path) : nullptr;
    return *writer != nullptr ? S_OK : E_FAIL;
}

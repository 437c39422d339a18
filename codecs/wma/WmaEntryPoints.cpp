// The module's exported entry points.
#include <new>

#include "codecs/wma/WmaReader.h"
#include "codecs/wma/WmaWriter.h"

extern "C" __attribute__((visibility("default"))) HRESULT
WMAudioCreateReader(const char* path, IWMAudioReadCallback* callback, IWMAudioReader** reader,
                    uint32_t reserved) {
    if (reader == nullptr)
        return E_INVALIDARG;
    *reader = nullptr;
    if (path == nullptr || callback == nullptr || reserved != 0)
        return E_INVALIDARG;
    auto decoder = AsfAudioDecoder::Open(path);
    if (!decoder)
        return E_FAIL;
    *reader = new (std::nothrow) WmaReader(std::move(decoder), callback);
    return *reader != nullptr ? S_OK : E_OUTOFMEMORY;
}

extern "C" __attribute__((visibility("default"))) HRESULT
WMAudioCreateWriter(const char* path, IWMAudioWriter** writer) {
    if (writer == nullptr)
        return E_INVALIDARG;
    *writer = path != nullptr ? WmaWriter::Create(path) : nullptr;
    return *writer != nullptr ? S_OK : E_FAIL;
}

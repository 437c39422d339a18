#pragma once
// The module's reader: decodes an ASF file on a thread of its own and delivers the PCM to the
// callback, then the status that ended the stream.
#include <atomic>
#include <memory>
#include <thread>

#include "codecs/wma/AsfAudioDecoder.h"
#include "codecs/wma/ComObject.h"

class WmaReader final : public ComObject<WmaReader, IWMAudioReader> {
public:
    // Takes a reference to the callback for the reader's lifetime.
    WmaReader(std::unique_ptr<AsfAudioDecoder> decoder, IWMAudioReadCallback* callback);
    ~WmaReader();

    HRESULT GetAttributeByName(const char* name, uint32_t* type, uint8_t* value,
                               uint16_t* length) override;
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT GetOutputFormat(WAVEFORMATEX* format, uint32_t size) override;
    HRESULT Start() override;
    HRESULT Stop() override;

private:
    void Decode();

    std::unique_ptr<AsfAudioDecoder> decoder_;
    IWMAudioReadCallback* callback_;
    std::atomic<bool> stop_ = false;
    bool started_ = false;
    std::thread thread_;
};

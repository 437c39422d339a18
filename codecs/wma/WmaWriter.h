#pragma once
// The module's writer: takes PCM in the format it is told, encodes wmav2 into an ASF file.
// The encoder is set up at the first write, once both formats are known; a refused format
// shows up as failing writes.
#include <memory>
#include <string>
#include <vector>

#include "codecs/wma/AsfAudioEncoder.h"
#include "codecs/wma/ComObject.h"

class WmaWriter final : public ComObject<WmaWriter, IWMAudioWriter> {
public:
    // Null when the file cannot be created.
    static WmaWriter* Create(const std::string& path);
    ~WmaWriter();

    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT SetInputFormat(const WAVEFORMATEX* format) override;
    HRESULT SetOutputFormat(uint32_t bitRate, uint32_t sampleRate, uint32_t channels,
                            uint32_t flags) override;
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT WriteSamples(const void* data, uint32_t byteCount) override;
    HRESULT Flush() override;

private:
    enum class State { Configuring, Encoding, Failed, Finished };

    explicit WmaWriter(OutputContextPtr output) : output_(std::move(output)) {}
    bool StartEncoding();

    OutputContextPtr output_; // handed to the encoder when it starts
    std::unique_ptr<AsfAudioEncoder> encoder_;
    State state_ = State::Configuring;
    bool inputSet_ = false;
    bool outputSet_ = false;
    WAVEFORMATEX input_{};
    WmaOutputRequest request_{};
    // The bytes of a sample split between two writes.
    std::vector<uint8_t> partial_;
};

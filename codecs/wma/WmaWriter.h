#pragma once
// The module's writer: takes PCM in the format it is told, encodes wmav2 into an ASF file.
// The encoder and the file are set up once both formats are known and accepted, so a refused
// format leaves no file behind; until then every write fails.
#include <memory>
#include <string>
#include <vector>

#include "codecs/wma/AsfAudioEncoder.h"
#include "codecs/wma/ComObject.h"

class WmaWriter final : public ComObject<WmaWriter, IWMAudioWriter> {
public:
    // Null when no file can be created at path (a missing or read-only folder).
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

    explicit WmaWriter(std::string path) : path_(std::move(path)) {}
    // Starts encoding once both formats are set: S_OK until then and once it runs.
    HRESULT Configure();
    bool StartEncoding();
    // A failed write's result: the refusal of the file, when it refused one.
    HRESULT Failure();

    std::string path_;
    std::unique_ptr<AsfAudioEncoder> encoder_;
    State state_ = State::Configuring;
    bool inputSet_ = false;
    bool outputSet_ = false;
    WAVEFORMATEX input_{};
    WmaOutputRequest request_{};
    // The errno of the write the file refused; 0 while none was.
    int refusedErrno_ = 0;
    // The bytes of a sample split between two writes.
    std::vector<uint8_t> partial_;
};

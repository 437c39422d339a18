#pragma once
// The source for MP3 files: decodes through the MP3 decoder module into one 512 KiB buffer and
// hands the PCM to the sink in blocks of more than 419430 bytes (except the last).
#include <cstdint>
#include <memory>

#include "codecs/Mp3DecoderApi.h"
#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"
#include "sinks/OutputSink.h"
#include "system/CodecModules.h"

class Mp3Source : public AudioSource {
public:
    static constexpr uint32_t BufferSize = 0x80000;
    static constexpr uint32_t DeliveryLimit = BufferSize * 8 / 10;
    // Decode calls in a row that add nothing before the stream is taken as ended.
    static constexpr int MaxFailedDecodes = 64;

    Mp3Source(const char* inputPath, const RowContext& row, ConversionError& code);
    ~Mp3Source() override;

    bool Pump() override;
    // The decoder's input position and size (bytes, scaled down past 2 GiB).
    void GetProgress(int32_t progress[2]) override;

    // The decoder module among the process's codec modules.
    static CodecModule& DecoderModule(CodecModules& codecs);

    struct Decoder {
        decoder_new_fn create = nullptr;
        file_input_module_register_fn fileModule = nullptr;
        decoder_input_module_register_fn registerModule = nullptr;
        decoder_input_new_fn inputNew = nullptr;
        decoder_input_open_fn inputOpen = nullptr;
        decoder_input_close_fn inputClose = nullptr;
        decoder_delete_fn destroy = nullptr;
        decoder_decode_fn decode = nullptr;
    };
    // The entry points of a loaded decoder module.
    static Decoder ResolveDecoder(CodecModule& module);

private:
    ConversionError Open(const char* inputPath, const RowContext& row);
    void Fill(bool deliver);

    RowResult& result_;
    uint32_t progressTotal_ = 0;
    uint32_t progressDone_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t bytesInBuffer_ = 0;
    Decoder api_;
    Mp3Decoder* decoder_ = nullptr; // released in the destructor, after the sink
    bool atEnd_ = false;
    bool inputOpen_ = false;
    std::unique_ptr<OutputSink> sink_;
};

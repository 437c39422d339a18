#pragma once
// The source for the Xiph.Org formats, whose modules decode a whole stream: the format's module
// reads the file through a descriptor and delivers PCM, handed to the sink a block at a time. A
// stream that is broken or cut short ends the file as unreadable.
#include <cstdint>
#include <memory>

#include "codecs/StreamCodecApi.h"
#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"
#include "sinks/OutputSink.h"
#include "system/UniqueFd.h"

class XiphSource : public AudioSource {
public:
    static constexpr uint32_t BlockBytes = 0x80000;

    // The format's codec module is the one the format table names for the input's extension.
    XiphSource(const char* inputPath, const RowContext& row, ConversionError& code);
    ~XiphSource() override;

    bool Pump() override;
    // Bytes of the input consumed and its size, scaled down past 2 GiB.
    void GetProgress(int32_t progress[2]) override;

    struct Decoder {
        stream_decoder_open_fn open = nullptr;
        stream_decoder_read_fn read = nullptr;
        stream_decoder_position_fn position = nullptr;
        stream_decoder_close_fn close = nullptr;
        stream_decoder_seek_fn seek = nullptr; // null: the module cannot seek exactly
    };

private:
    ConversionError Open(const char* inputPath, const RowContext& row);
    // Starts a row's part at its first sample frame when the module seeks; false when it failed.
    bool SeekPart(const RowContext& row, uint32_t rate);

    RowResult& result_;
    UniqueFd file_;
    Decoder api_;
    StreamDecoder* decoder_ = nullptr; // closed in the destructor, after the sink
    uint32_t frameBytes_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;
    bool atEnd_ = false;
    std::unique_ptr<OutputSink> sink_;
};

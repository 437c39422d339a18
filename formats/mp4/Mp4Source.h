#pragma once
// The source for .m4a files: AAC or ALAC in MP4, told apart by the file's content. Decodes through
// the MP4 module's reader and hands the PCM to the sink one buffer at a time.
#include <cstdint>
#include <memory>

#include "codecs/Mp4AudioApi.h"
#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"
#include "sinks/OutputSink.h"
#include "system/CodecModules.h"

class Mp4Source : public AudioSource {
public:
    static constexpr uint32_t BufferSize = 0x80000;

    Mp4Source(const char* inputPath, const RowContext& row, ConversionError& code);
    ~Mp4Source() override;

    bool Pump() override;
    // The reader's position and the file's size in bytes (scaled down past 2 GiB).
    void GetProgress(int32_t progress[2]) override;

    // The module's reader half among the process's codec modules.
    static CodecModule& ReaderModule(CodecModules& codecs);

private:
    struct CloseReader {
        Mp4ReaderCloseFn close;
        void operator()(Mp4Reader* reader) const { close(reader); }
    };

    ConversionError Open(const char* inputPath, const RowContext& row);

    RowResult& result_;
    Mp4ReaderReadFn read_ = nullptr;
    Mp4ReaderProgressFn progress_ = nullptr;
    std::unique_ptr<Mp4Reader, CloseReader> reader_; // released after the sink
    std::unique_ptr<uint8_t[]> buffer_;
    bool atEnd_ = false;
    std::unique_ptr<OutputSink> sink_;
};

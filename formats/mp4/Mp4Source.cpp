#include "formats/mp4/Mp4Source.h"

#include <new>

#include "engine/WaveFormat.h"
#include "formats/mp4/Mp4Module.h"

CodecModule& Mp4Source::ReaderModule(CodecModules& codecs) {
    return codecs.Module(Mp4ModuleFile, Mp4ReaderEntryPoints);
}

Mp4Source::Mp4Source(const char* inputPath, const RowContext& row, ConversionError& code)
    : result_(row.Result) {
    code = Open(inputPath, row);
}

ConversionError Mp4Source::Open(const char* inputPath, const RowContext& row) {
    CodecModule& module = ReaderModule(row.Environment.Codecs);
    if (!module.Load())
        return ConversionError::ceCodec;
    const auto open = module.Get<Mp4ReaderOpenFn>("Mp4ReaderOpen");
    read_ = module.Get<Mp4ReaderReadFn>("Mp4ReaderRead");
    progress_ = module.Get<Mp4ReaderProgressFn>("Mp4ReaderProgress");
    Mp4ReaderFormat format{};
    Mp4Reader* reader = nullptr;
    if (open(inputPath, &format, &reader) != Mp4Ok || !reader)
        return ConversionError::ceRead;
    reader_ = std::unique_ptr<Mp4Reader, CloseReader>(
        reader, CloseReader{module.Get<Mp4ReaderCloseFn>("Mp4ReaderClose")});
    if (!IsUsableSampleRate(format.sampleRate) || format.channels == 0 || format.channels > 8 ||
        (format.bitsPerSample != 16 && format.bitsPerSample != 24))
        return ConversionError::ceRead;
    buffer_.reset(new (std::nothrow) uint8_t[BufferSize]);
    if (!buffer_)
        return ConversionError::ceMemory;
    const WAVEFORMATEX pcm =
        MakePcmFormat(static_cast<uint16_t>(format.channels), format.sampleRate,
                      static_cast<uint16_t>(format.bitsPerSample));
    bool ok = false;
    sink_ = std::make_unique<OutputSink>(&pcm, row, ok);
    return ok ? ConversionError::ceNone : ConversionError::ceOutput;
}

Mp4Source::~Mp4Source() {
    sink_.reset();
}

bool Mp4Source::Pump() {
    if (!sink_ || !reader_ || atEnd_)
        return false;
    uint32_t bytes = 0;
    const int result = read_(reader_.get(), buffer_.get(), BufferSize, &bytes);
    if (result != Mp4Ok) {
        atEnd_ = true;
        // A file cut short or damaged did not convert whole and must not pass as converted.
        if (result != Mp4EndOfInput)
            result_.InputError = ConversionError::ceRead;
        return false;
    }
    sink_->Write(buffer_.get(), bytes);
    return true;
}

void Mp4Source::GetProgress(int32_t progress[2]) {
    uint64_t position = 0;
    uint64_t size = 0;
    if (reader_)
        progress_(reader_.get(), &position, &size);
    // The progress figures are signed 32-bit: halve both until the size fits.
    while (size > 0x7FFFFFFF) {
        size >>= 1;
        position >>= 1;
    }
    progress[0] = static_cast<int32_t>(size);
    progress[1] = static_cast<int32_t>(position);
}

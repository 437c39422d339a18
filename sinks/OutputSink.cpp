#include "sinks/OutputSink.h"

#include "formats/FormatTable.h"
#include "sinks/SinkFactories.h"

OutputSink::OutputSink(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = false;
    const FormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    const SinkKind* kind = format ? FindSinkKind(format->Key) : nullptr;
    if (!kind || !pcmFormat)
        return;
    const PcmRecord takes = kind->Takes(*pcmFormat, row.Settings);
    if (takes.empty())
        return;
    bool failed = true;
    converter_ = std::make_unique<PcmFormatConverter>(
        pcmFormat, reinterpret_cast<const WAVEFORMATEX*>(takes.data()), failed);
    if (failed) {
        converter_.reset();
        return;
    }
    sink_ = kind->Make(pcmFormat, row, ok);
    if (ok && row.Observer)
        tap_ = std::make_unique<AudioTap>(*pcmFormat, *row.Observer);
}

OutputSink::~OutputSink() {
    if (tap_)
        tap_->End(result_.Values);
    if (!sink_)
        return;
    if (!gotAudio_ && result_.InputError == ConversionError::ceNone)
        result_.InputError = ConversionError::ceRead;
    Finish();
}

bool OutputSink::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    gotAudio_ = gotAudio_ || byteCount > 0;
    if (tap_)
        tap_->Take(data, byteCount);
    if (!sink_ || !sink_->Taking())
        return false;
    uint32_t count = byteCount;
    const auto converted = converter_->Convert(data, byteCount, count);
    const bool written =
        sink_->Write(converted ? converted.get() : static_cast<const uint8_t*>(data), count);
    if (converter_->Failed()) {
        AudioLost();
        return false;
    }
    return written;
}

void OutputSink::Finish() {
    if (sink_->Taking()) {
        uint32_t count = 0;
        if (const auto rest = converter_->Flush(count))
            sink_->Write(rest.get(), count);
        if (converter_->Failed())
            AudioLost();
    }
    sink_->Ended(converter_->FramesConverted());
    sink_.reset();
}

void OutputSink::AudioLost() {
    result_.WriteError = true;
    sink_->AudioLost();
}

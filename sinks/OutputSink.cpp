#include "sinks/OutputSink.h"

#include <cstddef>
#include <cstring>

#include "catalog/FormatTable.h"

OutputSink::OutputSink(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok)
    : result_(row.Result), window_(row.Window) {
    ok = false;
    if (row.ObserveOnly) {
        ok = pcmFormat && row.Observer;
        if (ok)
            tap_ = std::make_unique<AudioTap>(*pcmFormat, *row.Observer);
        return;
    }
    const FormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    if (!format || !format->MakeSink || !pcmFormat)
        return;
    frameBytes_ = pcmFormat->nBlockAlign;
    rate_ = pcmFormat->nSamplesPerSec;
    // The conversion comes first, so that a format pair without a path leaves no file behind.
    if (format->SinkTakes && !Convert(*pcmFormat, format->SinkTakes(*pcmFormat, row.Settings)))
        return;
    sink_ = format->MakeSink(pcmFormat, row, ok);
    if (ok && row.Observer)
        tap_ = std::make_unique<AudioTap>(*pcmFormat, *row.Observer);
}

bool OutputSink::Convert(const WAVEFORMATEX& pcmFormat, const std::vector<uint8_t>& takes) {
    if (takes.size() < sizeof(WAVEFORMATEX))
        return false;
    bool failed = true;
    converter_ = std::make_unique<PcmFormatConverter>(
        &pcmFormat, reinterpret_cast<const WAVEFORMATEX*>(takes.data()), failed);
    if (failed)
        converter_.reset();
    // Everything of the format record before its extra bytes: tag, channels, rate and sample size.
    result_.Reshaped = std::memcmp(&pcmFormat, takes.data(), offsetof(WAVEFORMATEX, cbSize)) != 0;
    return !failed;
}

OutputSink::~OutputSink() {
    if (tap_)
        tap_->End(result_.Values);
    // A tap without a sink is a row that only observes.
    if (!sink_ && !tap_)
        return;
    if (!gotAudio_ && result_.InputError == ConversionError::ceNone)
        result_.InputError = ConversionError::ceRead;
    if (sink_)
        Finish();
}

bool OutputSink::Write(const void* data, uint32_t byteCount, bool lastBlock) {
    (void)lastBlock;
    if (window_) {
        const auto [offset, count] = window_->Cut(byteCount, frameBytes_, rate_);
        data = static_cast<const uint8_t*>(data) + offset;
        byteCount = count;
        if (count == 0)
            return sink_ && sink_->Taking();
    }
    gotAudio_ = gotAudio_ || byteCount > 0;
    if (tap_)
        tap_->Take(data, byteCount);
    if (!sink_)
        return tap_ != nullptr;
    if (!sink_->Taking())
        return false;
    return converter_ ? Pass(data, byteCount) : sink_->Write(data, byteCount);
}

bool OutputSink::Pass(const void* data, uint32_t byteCount) {
    uint32_t count = byteCount;
    const auto converted = converter_->Convert(data, byteCount, count);
    const bool written = sink_->Write(converted ? converted.get() : data, count);
    if (converter_->Failed()) {
        AudioLost();
        return false;
    }
    return written;
}

void OutputSink::Finish() {
    if (converter_) {
        if (sink_->Taking()) {
            uint32_t count = 0;
            if (const auto rest = converter_->Flush(count))
                sink_->Write(rest.get(), count);
            if (converter_->Failed())
                AudioLost();
        }
        sink_->Ended(converter_->FramesConverted());
    }
    sink_.reset();
}

void OutputSink::AudioLost() {
    result_.WriteError = true;
    sink_->AudioLost();
}

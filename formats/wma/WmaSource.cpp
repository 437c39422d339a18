#include "formats/wma/WmaSource.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "formats/wma/WmaModule.h"
#include "system/CodecModules.h"

namespace {
constexpr const char* ReaderEntryPoints[] = {"WMAudioCreateReader"};
} // namespace

WmaSource::WmaSource(const char* inputPath, const RowContext& row, ConversionError& code) {
    code = ConversionError::ceNone;
    CodecModule& module = row.Environment.Codecs.Module(WmaModuleFile, ReaderEntryPoints);
    if (!module.Load()) {
        code = ConversionError::ceCodec;
        return;
    }
    const auto create = module.Get<WMAudioCreateReaderFn>("WMAudioCreateReader");
    callback_ = std::make_unique<WmaSampleReceiver>(row.Result);
    IWMAudioReader* reader = nullptr;
    const HRESULT created = create(inputPath, callback_.get(), &reader, 0);
    if (created < 0 || reader == nullptr) {
        // A file that cannot be opened or read is the input's failure, not the codec's.
        code = created == WMA_E_UNREADABLE ? ConversionError::ceRead : ConversionError::ceCodec;
        return;
    }
    reader_.reset(reader);
    WAVEFORMATEX format{};
    reader_->GetOutputFormat(&format, sizeof format);
    if (!IsUsableSampleRate(format.nSamplesPerSec) || format.nChannels == 0) {
        code = ConversionError::ceRead;
        return;
    }
    bool ok = false;
    sink_ = std::make_unique<OutputSink>(&format, row, ok);
    if (!ok) {
        code = ConversionError::ceOutput;
        return;
    }
    uint32_t type = 0;
    uint32_t duration = 0;
    uint16_t length = sizeof duration;
    if (reader_->GetAttributeByName(WMA_ATTRIBUTE_DURATION, &type,
                                    reinterpret_cast<uint8_t*>(&duration), &length) == S_OK)
        callback_->SetTotal(static_cast<int32_t>(std::min<uint32_t>(duration, INT32_MAX)));
    callback_->SetSink(sink_.get());
    reader_->Start();
}

WmaSource::~WmaSource() {
    if (reader_)
        reader_->Stop();
    reader_.reset();
    callback_.reset();
    sink_.reset();
}

bool WmaSource::Pump() {
    if (!callback_ || !reader_ || !sink_)
        return false;
    // Wakes at least every 25 ms for the progress display, and at once when the reader ends, so
    // that no file waits out a whole poll after its end.
    return !callback_->WaitUntilFinished(std::chrono::milliseconds(25));
}

void WmaSource::GetProgress(int32_t progress[2]) {
    if (!callback_)
        return;
    progress[0] = callback_->Total();
    progress[1] = callback_->Done();
}

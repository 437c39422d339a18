#include "formats/wma/WmaSink.h"

#include "formats/wma/WmaModule.h"
#include "formats/wma/WmaOptions.h"
#include "system/CodecModules.h"

namespace {
constexpr const char* WriterEntryPoints[] = {"WMAudioCreateWriter"};

uint32_t Positive(int32_t value) {
    return value > 0 ? static_cast<uint32_t>(value) : 0;
}

// The writer's first refusal of the formats, or S_OK.
HRESULT SetFormats(IWMAudioWriter& writer, const WAVEFORMATEX* input, const WmaQuality& quality) {
    if (input == nullptr)
        return E_INVALIDARG;
    if (const HRESULT result = writer.SetInputFormat(input); result != S_OK)
        return result;
    return writer.SetOutputFormat(Positive(quality.Kbps) * 1000, Positive(quality.SampleRate),
                                  Positive(WmaChannels), 0);
}
} // namespace

WmaSink::WmaSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = true;
    CodecModule& module = row.Environment.Codecs.Module(WmaModuleFile, WriterEntryPoints);
    if (!module.Load()) {
        ok = false;
        return;
    }
    const auto create = module.Get<WMAudioCreateWriterFn>("WMAudioCreateWriter");
    IWMAudioWriter* writer = nullptr;
    if (create(row.OutputPath.c_str(), &writer) != S_OK || writer == nullptr) {
        ok = false;
        return;
    }
    writer_.reset(writer);
    const WmaQuality& quality =
        WmaQualities.at(static_cast<std::size_t>(row.Settings.Options.Of(WmaQualityOption)));
    // The quality entry's sample rate goes with its bit rate, so a 32000 Hz entry gives a
    // 32000 Hz file. A writer that refuses either format could only fail every write: it goes
    // unflushed, and the file is never made.
    if (const HRESULT result = SetFormats(*writer_, inputFormat, quality); result != S_OK) {
        // The file's start could not be written: a failure of the output, not of its format.
        if (const int error = WmaRefusedErrno(result); error != 0)
            result_.RefusedWrite(error);
        writer_.reset();
        ok = false;
    }
}

WmaSink::~WmaSink() {
    // The end of the file is written here: a failure loses the whole output.
    if (const HRESULT flushed = writer_ ? writer_->Flush() : S_OK; flushed != S_OK)
        result_.RefusedWrite(WmaRefusedErrno(flushed));
}

bool WmaSink::Write(const void* data, uint32_t byteCount) {
    if (!writer_)
        return false;
    const HRESULT written = writer_->WriteSamples(data, byteCount);
    if (written == S_OK)
        return true;
    result_.RefusedWrite(WmaRefusedErrno(written));
    return false;
}

#include "formats/mp3/Mp3Source.h"

#include <algorithm>
#include <new>

#include "engine/WaveFormat.h"
#include "formats/mp3/Mp3Modules.h"

CodecModule& Mp3Source::DecoderModule(CodecModules& codecs) {
    return codecs.Module(Mp3DecoderModuleFile, Mp3DecoderEntryPoints);
}

Mp3Source::Mp3Source(const char* inputPath, const RowContext& row, ConversionError& code)
    : result_(row.Result) {
    code = Open(inputPath, row);
}

ConversionError Mp3Source::Open(const char* inputPath, const RowContext& row) {
    CodecModule& module = DecoderModule(row.Environment.Codecs);
    if (!module.Load())
        return ConversionError::ceCodec;
    api_ = ResolveDecoder(module);
    if (api_.create(&decoder_) != Mp3DecOk || !decoder_) {
        decoder_ = nullptr;
        return ConversionError::ceCodec;
    }
    Mp3InputModule fileModule{};
    api_.fileModule(&fileModule);
    api_.registerModule(decoder_, &fileModule);
    if (api_.inputNew(decoder_, inputPath, Mp3InputModuleAuto) != Mp3DecOk ||
        api_.inputOpen(decoder_) != Mp3DecOk)
        return ConversionError::ceRead;
    inputOpen_ = true;
    buffer_.reset(new (std::nothrow) uint8_t[BufferSize]);
    if (!buffer_)
        return ConversionError::ceMemory;
    Fill(false);
    const Mp3DecoderOutputState& out = *decoder_->output;
    const auto channels = static_cast<uint16_t>((out.stereo & 0xFFFF) + 1);
    const auto bits = static_cast<uint16_t>((out.bytesPerSample & 0xFFFF) * 8);
    // A decoder that never named its format has nothing to deliver.
    if (!IsUsableSampleRate(out.sampleRate) || bits == 0 || channels > 2)
        return ConversionError::ceRead;
    const WAVEFORMATEX format = MakePcmFormat(channels, out.sampleRate, bits);
    bool ok = false;
    sink_ = std::make_unique<OutputSink>(&format, row, ok);
    if (!ok)
        return ConversionError::ceOutput;
    if (bytesInBuffer_ > 0)
        sink_->Write(buffer_.get(), bytesInBuffer_);
    return ConversionError::ceNone;
}

Mp3Source::~Mp3Source() {
    sink_.reset();
    buffer_.reset();
    if (inputOpen_)
        api_.inputClose(decoder_);
    if (decoder_)
        api_.destroy(decoder_);
}

void Mp3Source::Fill(bool deliver) {
    if (!atEnd_) {
        bytesInBuffer_ = 0;
        int failures = 0;
        while (bytesInBuffer_ <= DeliveryLimit) {
            const int result = api_.decode(decoder_, buffer_.get() + bytesInBuffer_);
            if (result == Mp3DecEndOfInput) {
                atEnd_ = true;
                break;
            }
            const uint32_t added = result == Mp3DecOk ? decoder_->output->byteCount : 0;
            // A decoder that keeps failing without reaching the end would stall the job; one
            // that finds its input cut short or unreadable ends it. Either way the file did not
            // convert whole and must not pass as converted.
            failures = added > 0 ? 0 : failures + 1;
            if (failures >= MaxFailedDecodes || result == Mp3DecInputBroken) {
                atEnd_ = true;
                result_.InputError = ConversionError::ceRead;
                break;
            }
            bytesInBuffer_ += std::min(added, Mp3DecMaxBytesPerDecode);
        }
        if (deliver)
            sink_->Write(buffer_.get(), bytesInBuffer_);
    }
    progressTotal_ = decoder_->input->size;
    progressDone_ = decoder_->input->position;
}

bool Mp3Source::Pump() {
    if (!sink_ || !decoder_)
        return false;
    if (!atEnd_)
        Fill(true);
    return !atEnd_;
}

void Mp3Source::GetProgress(int32_t progress[2]) {
    progress[0] = static_cast<int32_t>(progressTotal_);
    progress[1] = static_cast<int32_t>(progressDone_);
}

Mp3Source::Decoder Mp3Source::ResolveDecoder(CodecModule& module) {
    return Decoder{module.Get<decoder_new_fn>("decoder_new"),
                   module.Get<file_input_module_register_fn>("file_input_module_register"),
                   module.Get<decoder_input_module_register_fn>("decoder_input_module_register"),
                   module.Get<decoder_input_new_fn>("decoder_input_new"),
                   module.Get<decoder_input_open_fn>("decoder_input_open"),
                   module.Get<decoder_input_close_fn>("decoder_input_close"),
                   module.Get<decoder_delete_fn>("decoder_delete"),
                   module.Get<decoder_decode_fn>("decoder_decode")};
}

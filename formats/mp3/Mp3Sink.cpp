#include "formats/mp3/Mp3Sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>
#include <new>
#include <vector>

#include "formats/mp3/Mp3Modules.h"
#include "formats/mp3/Mp3Options.h"
#include "system/CodecModules.h"

namespace {

// Writes until every byte is out or the file refuses more; 0 when all went out, else the errno of
// the refusal.
int WriteAll(int fd, const uint8_t* bytes, std::size_t count, off_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::pwrite(fd, bytes + done, count - done, offset + off_t(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? errno : EIO;
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

uint8_t VbrQuality(const ConversionSettings& s) {
    return Mp3IsVbr(s) ? static_cast<uint8_t>(s.Options.Of(Mp3VbrOption)) : Mp3ConstantBitRate;
}

Mp3EncoderConfig ConfigFromSettings(const ConversionSettings& s) {
    return Mp3EncoderConfig{Mp3EncoderKindMp3,
                            static_cast<uint32_t>(s.Options.Of(Mp3SampleRateOption)),
                            s.Options.Of(Mp3MonoOption) == 0 ? Mp3ModeStereo : Mp3ModeMono,
                            static_cast<uint16_t>(s.Options.Of(Mp3BitRateOption)),
                            0,
                            0,
                            0,
                            0,
                            VbrQuality(s)};
}

} // namespace

CodecModule& Mp3Sink::EncoderModule(CodecModules& codecs) {
    return codecs.Module(Mp3EncoderModuleFile, Mp3EncoderEntryPoints);
}

std::vector<uint8_t> Mp3Sink::Takes(const WAVEFORMATEX&, const ConversionSettings& settings) {
    const auto channels = static_cast<uint16_t>(settings.Options.Of(Mp3MonoOption) == 0 ? 2 : 1);
    const auto rate = static_cast<uint32_t>(settings.Options.Of(Mp3SampleRateOption));
    return RecordBytes(MakePcmFormat(channels, rate, 16));
}

Mp3Sink::Mp3Sink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok)
    : result_(row.Result), stereo_(row.Settings.Options.Of(Mp3MonoOption) == 0) {
    ok = Open(inputFormat, row);
}

bool Mp3Sink::Open(const WAVEFORMATEX* inputFormat, const RowContext& row) {
    CodecModule& module = EncoderModule(row.Environment.Codecs);
    if (!module.Load())
        return false;
    encoder_ = ResolveEncoder(module);
    const Mp3EncoderConfig config = ConfigFromSettings(row.Settings);
    if (encoder_.init(&config, &samplesPerChunk_, &outputSize_, &stream_) != 0) {
        stream_ = nullptr;
        return false;
    }
    transfer_ = std::make_unique<BlockAligner>(samplesPerChunk_ * 2, true);
    output_.reset(new (std::nothrow) uint8_t[outputSize_]);
    if (!output_ || !inputFormat)
        return false;
    // Only a sink that can encode creates its file: a refused format leaves nothing behind.
    file_ =
        UniqueFd(::open(row.OutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return file_.Valid();
}

Mp3Sink::~Mp3Sink() {
    if (Taking()) {
        // The end of the audio: the last partial chunk.
        std::vector<uint8_t> tail;
        transfer_->TakeRest(tail);
        // Only whole sample frames; the converter delivers nothing else.
        const std::size_t frame = stereo_ ? 4 : 2;
        const auto whole = static_cast<uint32_t>(tail.size() - tail.size() % frame);
        if (whole > 0)
            EncodeChunk(tail.data(), whole);
    }
    FinishStream();
    if (file_.Valid() && !file_.Close())
        result_.RefusedWrite(errno);
    transfer_.reset();
    output_.reset();
}

bool Mp3Sink::Write(const void* data, uint32_t byteCount) {
    if (!Taking())
        return false;
    transfer_->SetInput(data, byteCount);
    uint32_t length = 0;
    while (const uint8_t* chunk = transfer_->NextBlock(length)) {
        if (length == 0)
            break;
        if (!EncodeChunk(chunk, length))
            return false;
    }
    return true;
}

bool Mp3Sink::EncodeChunk(const uint8_t* chunk, uint32_t length) {
    uint32_t bytes = 0;
    if (encoder_.encode(stream_, length / 2, reinterpret_cast<const int16_t*>(chunk), output_.get(),
                        &bytes) != 0) {
        // A lost chunk is a broken file: the worker must report it.
        result_.WriteError = true;
        return false;
    }
    Append(output_.get(), bytes);
    return true;
}

void Mp3Sink::FinishStream() {
    if (!stream_)
        return;
    if (file_.Valid() && output_) {
        uint32_t bytes = 0;
        if (encoder_.deinit(stream_, output_.get(), &bytes) == 0)
            Append(output_.get(), bytes);
        else
            result_.WriteError = true;
        WriteInfoTag();
    }
    encoder_.close(stream_);
    stream_ = nullptr;
}

// The encoder began the stream with a placeholder frame of the tag's size; the tag replaces it.
void Mp3Sink::WriteInfoTag() {
    if (!encoder_.infoTag)
        return;
    uint32_t bytes = 0;
    if (encoder_.infoTag(stream_, output_.get(), outputSize_, &bytes) != 0 || bytes == 0 ||
        bytes > written_)
        return;
    if (const int error = WriteAll(file_.Get(), output_.get(), bytes, 0); error != 0)
        result_.RefusedWrite(error);
}

void Mp3Sink::Append(const uint8_t* bytes, uint32_t count) {
    if (count == 0)
        return;
    if (const int error = WriteAll(file_.Get(), bytes, count, static_cast<off_t>(written_));
        error != 0)
        result_.RefusedWrite(error);
    else
        written_ += count;
}

Mp3Sink::Encoder Mp3Sink::ResolveEncoder(CodecModule& module) {
    return Encoder{module.Get<beInitStreamFn>("beInitStream"),
                   module.Get<beEncodeChunkFn>("beEncodeChunk"),
                   module.Get<beDeinitStreamFn>("beDeinitStream"),
                   module.Get<beCloseStreamFn>("beCloseStream"),
                   module.Get<beInfoTagFrameFn>(Mp3EncoderInfoTagEntryPoint)};
}

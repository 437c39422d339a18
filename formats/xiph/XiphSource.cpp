#include "formats/xiph/XiphSource.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <new>

#include "catalog/FormatTable.h"
#include "engine/WaveFormat.h"
#include "system/CodecModules.h"
#include "system/FileNames.h"

XiphSource::XiphSource(const char* inputPath, const RowContext& row, ConversionError& code)
    : result_(row.Result) {
    code = Open(inputPath, row);
}

ConversionError XiphSource::Open(const char* inputPath, const RowContext& row) {
    // The source factory chose this source by the extension, so the table has its module.
    const FormatInfo* input = FindReadFormat(
        row.InputExtension.empty() ? GetFileExtension(inputPath) : row.InputExtension);
    if (!input || input->ReadModules.size() != 1)
        return ConversionError::ceRead;
    CodecModule& module =
        row.Environment.Codecs.Module(input->ReadModules.front().File, StreamCodecEntryPoints);
    if (!module.Load())
        return ConversionError::ceCodec;
    api_ = {module.Get<stream_decoder_open_fn>("stream_decoder_open"),
            module.Get<stream_decoder_read_fn>("stream_decoder_read"),
            module.Get<stream_decoder_position_fn>("stream_decoder_position"),
            module.Get<stream_decoder_close_fn>("stream_decoder_close"),
            module.Get<stream_decoder_seek_fn>("stream_decoder_seek")};
    // Only a regular file, and the open never waits (a FIFO put in the input's place would).
    file_ = UniqueFd(::open(inputPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (!file_.Valid() || fstat(file_.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return ConversionError::ceRead;
    StreamInfo info{};
    if (api_.open(file_.Get(), &decoder_, &info) != StreamOk || !decoder_) {
        decoder_ = nullptr;
        return ConversionError::ceRead;
    }
    const WAVEFORMATEX format =
        info.sampleKind == StreamFloat32
            ? MakeFloatFormat(info.channels, info.sampleRate)
            : MakePcmFormat(info.channels, info.sampleRate, info.sampleKind);
    frameBytes_ = format.nBlockAlign;
    if (!SeekPart(row, info.sampleRate))
        return ConversionError::ceRead;
    buffer_.reset(new (std::nothrow) uint8_t[BlockBytes]);
    if (!buffer_ || frameBytes_ == 0)
        return ConversionError::ceMemory;
    bool ok = false;
    sink_ = std::make_unique<OutputSink>(&format, row, ok);
    return ok ? ConversionError::ceNone : ConversionError::ceOutput;
}

bool XiphSource::SeekPart(const RowContext& row, uint32_t rate) {
    if (!row.Window || !api_.seek)
        return true;
    const uint64_t first = row.Window->FirstFrame(rate);
    if (first == 0)
        return true;
    if (api_.seek(decoder_, first) != StreamOk)
        return false;
    row.Window->StartAt(first);
    return true;
}

XiphSource::~XiphSource() {
    sink_.reset();
    if (decoder_)
        api_.close(decoder_);
}

bool XiphSource::Pump() {
    if (!sink_ || !decoder_ || atEnd_)
        return false;
    const uint32_t room = BlockBytes / frameBytes_;
    uint32_t frames = 0;
    // Fills the block, so the sink sees few large writes.
    while (frames < room) {
        const int32_t got =
            api_.read(decoder_, buffer_.get() + frames * frameBytes_, room - frames);
        if (got <= 0) {
            atEnd_ = true;
            if (got < 0)
                result_.InputError = ConversionError::ceRead;
            break;
        }
        frames += static_cast<uint32_t>(got);
    }
    if (frames > 0)
        sink_->Write(buffer_.get(), frames * frameBytes_);
    return !atEnd_;
}

void XiphSource::GetProgress(int32_t progress[2]) {
    uint64_t done = 0;
    uint64_t total = 0;
    if (decoder_)
        api_.position(decoder_, &done, &total);
    while (total > 0x7FFFFFFF) {
        total >>= 1;
        done >>= 1;
    }
    progress[0] = static_cast<int32_t>(total);
    progress[1] = static_cast<int32_t>(done > total ? total : done);
}

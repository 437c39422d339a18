#include "formats/xiph/XiphSink.h"

#include <fcntl.h>

#include <cerrno>

#include "catalog/FormatTable.h"

XiphSink::XiphSink(StreamTargetChooser choose, const WAVEFORMATEX* inputFormat,
                   const RowContext& row, bool& ok)
    : result_(row.Result) {
    ok = Open(choose, inputFormat, row);
}

bool XiphSink::Open(StreamTargetChooser choose, const WAVEFORMATEX* inputFormat,
                    const RowContext& row) {
    const FormatInfo* format = FindTargetFormat(row.Settings.TargetFormat);
    if (!inputFormat || !format || format->WriteModules.size() != 1)
        return false;
    const auto target = choose(*inputFormat, row.Settings);
    if (!target)
        return false;
    CodecModule& module =
        row.Environment.Codecs.Module(format->WriteModules.front().File, StreamCodecEntryPoints);
    if (!module.Load())
        return false;
    encoder_ = {module.Get<stream_encoder_open_fn>("stream_encoder_open"),
                module.Get<stream_encoder_write_fn>("stream_encoder_write"),
                module.Get<stream_encoder_finish_fn>("stream_encoder_finish")};
    frameBytes_ = target->Pcm.nBlockAlign;
    // Only a sink that can encode creates its file: a refused format leaves nothing behind.
    file_ = UniqueFd(::open(row.OutputPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file_.Valid())
        return false;
    if (const int status = encoder_.open(file_.Get(), &target->Config, &stream_);
        status != StreamOk) {
        stream_ = nullptr;
        // The stream's start could not be written: a failure of the output, not of its format.
        if (const int error = StreamRefusedErrno(status); error != 0)
            result_.RefusedWrite(error);
        return false;
    }
    return true;
}

void XiphSink::Failed(int status) {
    result_.RefusedWrite(StreamRefusedErrno(status));
}

XiphSink::~XiphSink() {
    if (const int status = stream_ ? encoder_.finish(stream_) : StreamOk; status != StreamOk)
        Failed(status);
    if (file_.Valid() && !file_.Close())
        result_.RefusedWrite(errno);
}

bool XiphSink::Write(const void* data, uint32_t byteCount) {
    if (!Taking())
        return false;
    if (byteCount == 0)
        return true;
    // The conversion delivers whole frames; a stray byte would shift every sample after it.
    const int status = byteCount % frameBytes_ != 0
                           ? StreamFailed
                           : encoder_.write(stream_, data, byteCount / frameBytes_);
    if (status != StreamOk) {
        Failed(status);
        return false;
    }
    return true;
}

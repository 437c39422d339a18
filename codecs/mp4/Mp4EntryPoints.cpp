// The module's exported entry points.
#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "codecs/mp4/Mp4AudioDecoder.h"
#include "codecs/mp4/Mp4AudioEncoder.h"

struct Mp4Writer {
    std::unique_ptr<Mp4AudioEncoder> encoder;
    uint32_t frameBytes = 0;
    // The bytes of a sample frame split between two writes.
    std::vector<uint8_t> partial;
    bool failed = false;
    std::optional<Mp4Gapless> gapless; // once finished
};

struct Mp4Reader {
    std::unique_ptr<Mp4AudioDecoder> decoder;
};

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
// Damaged input is reported through the interface; FFmpeg's own log lines would only reach the
// user's terminal.
void QuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// A writer's failure as its entry points return it.
int Failure(const Mp4AudioEncoder& encoder) {
    const int refusedErrno = encoder.RefusedWriteErrno();
    return refusedErrno != 0 ? refusedErrno : Mp4Failed;
}

bool WriteJoined(Mp4Writer& w, const uint8_t* bytes, uint32_t count) {
    if (!w.partial.empty()) {
        const auto take = std::min<uint32_t>(w.frameBytes - uint32_t(w.partial.size()), count);
        w.partial.insert(w.partial.end(), bytes, bytes + take);
        bytes += take;
        count -= take;
        if (w.partial.size() < w.frameBytes)
            return true;
        if (!w.encoder->Write(w.partial.data(), 1))
            return false;
        w.partial.clear();
    }
    const uint32_t whole = count / w.frameBytes;
    if (whole != 0 && !w.encoder->Write(bytes, whole))
        return false;
    w.partial.assign(bytes + size_t{whole} * w.frameBytes, bytes + count);
    return true;
}
} // namespace

BMC_EXPORT int Mp4WriterOpen(const char* path, const WAVEFORMATEX* input,
                             const Mp4WriterRequest* request, Mp4Writer** writer) {
    if (writer == nullptr)
        return Mp4Failed;
    *writer = nullptr;
    if (path == nullptr || input == nullptr || request == nullptr)
        return Mp4Failed;
    QuietLibraryLog();
    int refusedErrno = 0;
    auto encoder = Mp4AudioEncoder::Open(path, *input, *request, refusedErrno);
    if (!encoder)
        return refusedErrno != 0 ? refusedErrno : Mp4Failed;
    *writer = new (std::nothrow) Mp4Writer{std::move(encoder), input->nBlockAlign, {}, false, {}};
    return *writer != nullptr ? Mp4Ok : Mp4Failed;
}

BMC_EXPORT int Mp4WriterWrite(Mp4Writer* writer, const void* data, uint32_t byteCount) {
    if (writer == nullptr || writer->failed || !writer->encoder ||
        (data == nullptr && byteCount != 0))
        return Mp4Failed;
    writer->failed = !WriteJoined(*writer, static_cast<const uint8_t*>(data), byteCount);
    return writer->failed ? Failure(*writer->encoder) : Mp4Ok;
}

BMC_EXPORT int Mp4WriterFinish(Mp4Writer* writer) {
    if (writer == nullptr || writer->failed || !writer->encoder)
        return Mp4Failed;
    // A trailing fraction of a sample frame cannot be encoded and is dropped.
    const bool finished = writer->encoder->Finish();
    const int status = finished ? Mp4Ok : Failure(*writer->encoder);
    if (finished)
        writer->gapless = writer->encoder->Gapless();
    writer->encoder.reset();
    return status;
}

BMC_EXPORT int Mp4WriterGapless(Mp4Writer* writer, Mp4Gapless* gapless) {
    if (writer == nullptr || gapless == nullptr || !writer->gapless)
        return Mp4Failed;
    *gapless = *writer->gapless;
    return Mp4Ok;
}

BMC_EXPORT void Mp4WriterClose(Mp4Writer* writer) {
    delete writer;
}

BMC_EXPORT int Mp4ReaderOpen(const char* path, Mp4ReaderFormat* format, Mp4Reader** reader) {
    if (reader == nullptr)
        return Mp4Failed;
    *reader = nullptr;
    if (path == nullptr || format == nullptr)
        return Mp4Failed;
    QuietLibraryLog();
    auto decoder = Mp4AudioDecoder::Open(path);
    if (!decoder)
        return Mp4Failed;
    *format = decoder->Format();
    *reader = new (std::nothrow) Mp4Reader{std::move(decoder)};
    return *reader != nullptr ? Mp4Ok : Mp4Failed;
}

BMC_EXPORT int Mp4ReaderRead(Mp4Reader* reader, uint8_t* pcm, uint32_t capacity, uint32_t* bytes) {
    if (reader == nullptr || pcm == nullptr || bytes == nullptr)
        return Mp4Failed;
    return reader->decoder->Read(pcm, capacity, bytes);
}

BMC_EXPORT void Mp4ReaderProgress(Mp4Reader* reader, uint64_t* position, uint64_t* size) {
    *position = 0;
    *size = 0;
    if (reader != nullptr)
        reader->decoder->Progress(position, size);
}

BMC_EXPORT void Mp4ReaderClose(Mp4Reader* reader) {
    delete reader;
}

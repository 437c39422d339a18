#include "formats/wave/WaveSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t HeaderBytes = 38;
constexpr std::size_t DataHeaderBytes = 8;
constexpr std::size_t FactChunkBytes = 12;
constexpr std::size_t WriteChunkBytes = 256 * 1024;

// Writes until every byte is out or the file refuses more; returns the bytes written, and in error
// the errno of a refusal.
std::size_t WriteFully(int fd, const uint8_t* bytes, std::size_t count, uint64_t offset,
                       int& error) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put =
            ::pwrite(fd, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            error = put < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

void PutU32(uint8_t* at, uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}

// The output format as the settings hold it, or empty when its cbSize cannot fit the buffer.
std::vector<uint8_t> TargetFromSettings(const ConversionSettings& settings) {
    const auto& stored = settings.WaveOutputFormat;
    WAVEFORMATEX record;
    std::memcpy(&record, stored.data(), sizeof record);
    if (record.cbSize > stored.size() - sizeof record)
        return {};
    return {stored.begin(), stored.begin() + sizeof record + record.cbSize};
}

} // namespace

uint32_t WaveSink::MaxDataBytes(uint16_t extraBytes, bool factChunk) {
    // The RIFF size, 38 + E (+ 12) + D, is a 32-bit field.
    return UINT32_MAX - static_cast<uint32_t>(HeaderBytes) - extraBytes -
           (factChunk ? static_cast<uint32_t>(FactChunkBytes) : 0u);
}

WaveSink::WaveSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok)
    : WaveSink(inputFormat, row, ok, UINT32_MAX) {}

WaveSink::WaveSink(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok,
                   uint32_t maxDataBytes)
    : result_(row.Result) {
    ok = false;
    target_ = TargetFromSettings(row.Settings);
    if (target_.empty() || inputFormat == nullptr)
        return;
    maxDataBytes_ = std::min(maxDataBytes, MaxDataBytes(ExtraBytes(), HasFact()));
    file_ =
        UniqueFd(::open(row.OutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file_.Valid())
        return;
    ok = true;
    WriteHeader();
}

WaveSink::~WaveSink() {
    if (!file_.Valid())
        return;
    WritePending();
    WriteHeader();
    if (!file_.Close())
        Fail(errno);
}

std::vector<uint8_t> WaveSink::Takes(const WAVEFORMATEX&, const ConversionSettings& settings) {
    return TargetFromSettings(settings);
}

bool WaveSink::Write(const void* data, uint32_t byteCount) {
    if (!Taking())
        return false;
    return Append(static_cast<const uint8_t*>(data), byteCount);
}

bool WaveSink::Append(const uint8_t* bytes, uint32_t count) {
    if (count == 0)
        return true;
    const uint32_t room = maxDataBytes_ - dataBytes_;
    const uint32_t align = std::max<uint32_t>(Target().nBlockAlign, 1);
    const bool fits = count <= room;
    // At the size limit only whole blocks that still fit are kept.
    const uint32_t take = fits ? count : room - room % align;
    dataBytes_ += take;
    if (pending_.empty() && take >= WriteChunkBytes) {
        // A block of a chunk or more goes to the file from where it is, without a copy.
        if (!WriteLast(bytes, take))
            return false;
    } else {
        pending_.insert(pending_.end(), bytes, bytes + take);
        if ((pending_.size() >= WriteChunkBytes || !fits) && !WritePending())
            return false;
    }
    if (!fits)
        Fail();
    return fits;
}

bool WaveSink::WritePending() {
    const bool whole = WriteLast(pending_.data(), pending_.size());
    pending_.clear();
    return whole;
}

bool WaveSink::WriteLast(const uint8_t* bytes, std::size_t size) {
    const uint32_t written = dataBytes_ - static_cast<uint32_t>(size);
    const uint64_t at = DataStart() + written;
    int error = 0;
    const std::size_t put = WriteFully(file_.Get(), bytes, size, at, error);
    const bool whole = put == size;
    if (!whole) {
        // Keep the whole blocks that were written and cut off a partial one, so that the header
        // describes the file exactly; the failure is reported whether or not the cut succeeds.
        const auto kept =
            static_cast<uint32_t>(put - put % std::max<uint32_t>(Target().nBlockAlign, 1));
        [[maybe_unused]] const int cut = ::ftruncate(file_.Get(), static_cast<off_t>(at + kept));
        dataBytes_ = written + kept;
        Fail(error);
    }
    return whole;
}

uint32_t WaveSink::Frames() const {
    // Linear samples count by their size; a coded format's blocks say nothing of the samples in
    // the last one, so the conversion's count of what it encoded is what counts.
    const bool coded = Target().wFormatTag != WAVE_FORMAT_IEEE_FLOAT &&
                       Target().wFormatTag != WAVE_FORMAT_EXTENSIBLE;
    const uint64_t frames =
        coded ? encodedFrames_ : dataBytes_ / std::max<uint32_t>(Target().nBlockAlign, 1);
    return static_cast<uint32_t>(std::min<uint64_t>(frames, UINT32_MAX));
}

void WaveSink::WriteHeader() {
    const uint32_t extra = ExtraBytes();
    uint8_t header[HeaderBytes];
    std::memcpy(header, "RIFF", 4);
    PutU32(header + 4, static_cast<uint32_t>(HeaderBytes) + extra + FactBytes() + dataBytes_);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutU32(header + 16, static_cast<uint32_t>(sizeof(WAVEFORMATEX)) + extra);
    std::memcpy(header + 20, target_.data(), sizeof(WAVEFORMATEX));
    WriteAt(header, sizeof header, 0);
    if (extra > 0)
        WriteAt(target_.data() + sizeof(WAVEFORMATEX), extra, HeaderBytes);
    if (HasFact()) {
        uint8_t fact[FactChunkBytes];
        std::memcpy(fact, "fact", 4);
        PutU32(fact + 4, 4);
        PutU32(fact + 8, Frames());
        WriteAt(fact, sizeof fact, HeaderBytes + extra);
    }
    uint8_t dataHeader[DataHeaderBytes];
    std::memcpy(dataHeader, "data", 4);
    PutU32(dataHeader + 4, dataBytes_);
    WriteAt(dataHeader, sizeof dataHeader, HeaderBytes + extra + FactBytes());
}

void WaveSink::WriteAt(const void* bytes, std::size_t count, uint64_t offset) {
    int error = 0;
    if (WriteFully(file_.Get(), static_cast<const uint8_t*>(bytes), count, offset, error) < count)
        Fail(error);
}

void WaveSink::Fail(int error) {
    result_.RefusedWrite(error);
    stopped_ = true;
}

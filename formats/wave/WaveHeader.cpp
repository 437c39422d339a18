#include "formats/wave/WaveHeader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t ChunkHeaderBytes = 8;
constexpr uint32_t MinFormatBytes = 14;
// A record and the most extra bytes its 16-bit cbSize can announce.
constexpr std::size_t MaxFormatBytes = sizeof(WAVEFORMATEX) + UINT16_MAX;
// Real files have a handful of chunks before their audio; this bounds the walk through a file
// made of nothing but tiny chunks.
constexpr int MaxChunks = 100000;
// The 64-bit sizes of an RF64/BW64 file: RIFF size, data size, sample count.
constexpr std::size_t Ds64Bytes = 24;
constexpr uint32_t SizeNotGiven = 0xFFFFFFFF;

uint32_t U32(const uint8_t* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

uint64_t U64(const uint8_t* at) {
    uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool IdIs(const uint8_t* at, const char (&id)[5]) {
    return std::memcmp(at, id, 4) == 0;
}

// The format record and its extra bytes, from a payload that may stop short of its declared size.
std::vector<uint8_t> FormatFrom(std::span<const uint8_t> payload) {
    std::vector<uint8_t> format(std::max(payload.size(), sizeof(WAVEFORMATEX)), 0);
    std::copy(payload.begin(), payload.end(), format.begin());
    const std::size_t extraPresent =
        payload.size() > sizeof(WAVEFORMATEX) ? payload.size() - sizeof(WAVEFORMATEX) : 0;
    auto* record = reinterpret_cast<WAVEFORMATEX*>(format.data());
    // A cbSize that claims more than the chunk holds must never lead a reader past the buffer.
    if (payload.size() < sizeof(WAVEFORMATEX) || record->cbSize > extraPresent)
        record->cbSize = static_cast<uint16_t>(std::min<std::size_t>(extraPresent, UINT16_MAX));
    format.resize(sizeof(WAVEFORMATEX) + record->cbSize);
    return format;
}

WAVEFORMATEX BasicFormatFrom(std::span<const uint8_t> payload) {
    WAVEFORMATEX basic{};
    std::memcpy(&basic, payload.data(), std::min<std::size_t>(payload.size(), 16));
    basic.cbSize = 0;
    return basic;
}

class ChunkWalk {
public:
    ChunkWalk(const WaveReadAt& read, uint64_t fileSize) : read_(read), fileSize_(fileSize) {}

    std::optional<WaveHeader> Run() {
        uint8_t riff[12];
        if (read_(0, riff, sizeof riff) < sizeof riff || !IdIs(riff + 8, "WAVE"))
            return std::nullopt;
        wide_ = IdIs(riff, "RF64") || IdIs(riff, "BW64");
        if (!wide_ && !IdIs(riff, "RIFF"))
            return std::nullopt;
        const uint32_t riffSize = U32(riff + 4);
        // A streaming recorder leaves the size at 0 or all ones: the file's end is the end.
        streaming_ = !wide_ && (riffSize == 0 || riffSize == SizeNotGiven);
        end_ = wide_ || streaming_ ? fileSize_ : std::min<uint64_t>(8ull + riffSize, fileSize_);
        uint64_t pos = 12;
        for (int chunk = 0; chunk < MaxChunks && pos + ChunkHeaderBytes <= end_; ++chunk) {
            uint8_t head[ChunkHeaderBytes];
            if (read_(pos, head, sizeof head) < sizeof head)
                break;
            const uint32_t size = U32(head + 4);
            const uint64_t payload = pos + ChunkHeaderBytes;
            Take(head, size, payload);
            if (haveFormat_ && haveData_)
                return header_;
            pos = payload + size + (size & 1u);
        }
        return std::nullopt;
    }

private:
    void Take(const uint8_t* head, uint32_t size, uint64_t payload) {
        if (IdIs(head, "fmt ") && size >= MinFormatBytes)
            TakeFormat(size, payload);
        else if (IdIs(head, "data"))
            TakeData(size, payload);
        else if (IdIs(head, "ds64") && wide_)
            TakeSizes(size, payload);
    }

    void TakeFormat(uint32_t size, uint64_t payload) {
        std::vector<uint8_t> bytes(std::min<std::size_t>(size, MaxFormatBytes));
        // Only the bytes actually there can describe the format.
        bytes.resize(read_(payload, bytes.data(), bytes.size()));
        if (bytes.size() < MinFormatBytes)
            return;
        header_.format = FormatFrom(bytes);
        header_.basicFormat = BasicFormatFrom(bytes);
        haveFormat_ = true;
    }

    void TakeData(uint32_t size, uint64_t payload) {
        header_.dataOffset = payload;
        const uint64_t present = fileSize_ > payload ? fileSize_ - payload : 0;
        header_.dataToEnd = false;
        // A recorder that died leaves the sizes open: 0 or all ones, also in an RF64 size record,
        // or a 0 followed by audio rather than by the next chunk.
        const bool open = size == SizeNotGiven || (size == 0 && (streaming_ || !ChunkAt(payload)));
        if (wide_ && size == SizeNotGiven && haveSizes_ && wideDataSize_ != 0) {
            header_.dataSize = wideDataSize_;
        } else if (open) {
            header_.dataSize = present;
            header_.dataToEnd = true;
        } else {
            header_.dataSize = size;
        }
        haveData_ = true;
    }

    // Whether a chunk header starts at pos: an identifier of four printable characters and a
    // size that fits the file.
    bool ChunkAt(uint64_t pos) const {
        uint8_t head[ChunkHeaderBytes];
        if (pos + ChunkHeaderBytes > fileSize_ || read_(pos, head, sizeof head) < sizeof head)
            return false;
        for (int i = 0; i < 4; ++i)
            if (head[i] < 0x20 || head[i] > 0x7E)
                return false;
        return pos + ChunkHeaderBytes + U32(head + 4) <= fileSize_;
    }

    void TakeSizes(uint32_t size, uint64_t payload) {
        uint8_t sizes[Ds64Bytes];
        if (size < Ds64Bytes || read_(payload, sizes, sizeof sizes) < sizeof sizes)
            return;
        const uint64_t riffSize = U64(sizes);
        if (riffSize != 0 && riffSize <= fileSize_ - 8)
            end_ = 8 + riffSize;
        wideDataSize_ = U64(sizes + 8);
        haveSizes_ = true;
    }

    const WaveReadAt& read_;
    const uint64_t fileSize_;
    uint64_t end_ = 0;
    bool wide_ = false;
    bool streaming_ = false;
    bool haveSizes_ = false;
    uint64_t wideDataSize_ = 0;
    bool haveFormat_ = false;
    bool haveData_ = false;
    WaveHeader header_;
};

} // namespace

std::optional<WaveHeader> ScanWaveHeader(const WaveReadAt& read, uint64_t fileSize) {
    return ChunkWalk(read, fileSize).Run();
}

std::optional<WaveHeader> ScanWaveHeader(std::span<const uint8_t> file) {
    const WaveReadAt read = [file](uint64_t offset, uint8_t* into, std::size_t count) {
        if (offset >= file.size())
            return std::size_t{0};
        const std::size_t n = std::min<uint64_t>(count, file.size() - offset);
        std::memcpy(into, file.data() + offset, n);
        return n;
    };
    return ScanWaveHeader(read, file.size());
}

// Random format records and byte streams through the wave format conversions: open, size in both
// directions, convert with every start and end mark, and the converter over them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "acm/WaveFormatCatalog.h"
#include "acm/WaveFormatConversion.h"
#include "sinks/PcmFormatConverter.h"

namespace {
struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    uint32_t U32() { return Byte() | Byte() << 8 | Byte() << 16 | uint32_t(Byte()) << 24; }
    std::vector<uint8_t> Take(size_t n) {
        n = std::min(n, size);
        std::vector<uint8_t> v(data, data + n);
        data += n;
        size -= n;
        return v;
    }
};

// A record: often one the catalog writes (so conversions run deep), else raw bytes.
std::vector<uint8_t> MakeRecord(Reader& r) {
    const uint8_t kind = r.Byte();
    if (kind < 96) {
        const auto tags = WaveFormatCatalog::WritableTags();
        const uint16_t tag = tags[r.Byte() % tags.size()];
        static const uint32_t rates[] = {8000, 11025, 22050, 44100, 48000, 1000, 96000};
        static const uint16_t bits[] = {0, 4, 8, 16, 24, 32};
        auto rec = WaveFormatCatalog::MakeRecord(tag, 1 + r.Byte() % 2, rates[r.Byte() % 7],
                                                 bits[r.Byte() % 6]);
        if (!rec.empty())
            return rec;
    }
    auto rec = r.Take(r.Byte() % 64);
    if (kind & 1) {
        // Plausible tag and shape with random rest.
        rec.resize(std::max<size_t>(rec.size(), 18));
        const uint16_t tags[] = {1, 2, 3, 6, 7, 0x11, 0x31, 0x55, 0x20, 0xFFFE, 0x50, 0x45};
        const uint16_t tag = tags[kind % 12];
        std::memcpy(rec.data(), &tag, 2);
    }
    return rec;
}

void RunStream(WaveFormatConversion& s, Reader& r) {
    const uint32_t asked = r.U32();
    if (r.Byte() & 1)
        s.SourceBytesFor(asked);
    else
        s.DestinationBytesFor(asked);
    for (int round = 0; round < 8 && r.size > 0; ++round) {
        auto input = r.Take(r.Byte() * 16 + r.Byte());
        uint32_t room = s.DestinationBytesFor(static_cast<uint32_t>(input.size())).value_or(4096);
        if (room > (1 << 24))
            room = 4096;
        room = (r.Byte() & 1) ? room : room / (1 + r.Byte() % 8);
        std::vector<uint8_t> out(room);
        const uint8_t marks = r.Byte();
        const auto used =
            s.Convert(input, out, {.start = (marks & 0x10) != 0, .end = (marks & 0x20) != 0});
        if (used.source > input.size() || used.destination > room)
            __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    const auto from = MakeRecord(r);
    const auto to = MakeRecord(r);
    const auto* src = reinterpret_cast<const WAVEFORMATEX*>(from.data());
    const auto* dst = reinterpret_cast<const WAVEFORMATEX*>(to.data());
    if (auto s = WaveFormatConversion::Open(from, to))
        RunStream(s, r);
    if (r.Byte() & 1) {
        // The converter reads cbSize bytes after each record: keep only honest records.
        if (from.size() >= 18 && to.size() >= 18 && src->cbSize <= from.size() - 18 &&
            dst->cbSize <= to.size() - 18) {
            bool failed = true;
            PcmFormatConverter c(src, dst, failed);
            for (int round = 0; round < 4 && r.size > 0; ++round) {
                const auto input = r.Take(r.Byte() * 64);
                uint32_t n = 0;
                c.Convert(input.data(), static_cast<uint32_t>(input.size()), n);
            }
            uint32_t n = 0;
            c.Flush(n);
        }
    }
    return 0;
}

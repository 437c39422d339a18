// Converts a PCM WAVE file into another wave format through the format converter, streaming in
// blocks of three seconds as the WAVE source does: bmc_acm_bench IN OUT TAG:CHANNELS:RATE:BITS
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "acm/WaveFormatCatalog.h"
#include "sinks/PcmFormatConverter.h"

namespace {
bool FindChunks(std::ifstream& in, std::vector<uint8_t>& format, uint32_t& dataSize) {
    char riff[12];
    if (!in.read(riff, 12) || std::memcmp(riff, "RIFF", 4) || std::memcmp(riff + 8, "WAVE", 4))
        return false;
    char head[8];
    while (in.read(head, 8)) {
        uint32_t size = 0;
        std::memcpy(&size, head + 4, 4);
        if (!std::memcmp(head, "data", 4)) {
            dataSize = size;
            return format.size() >= 16;
        }
        std::vector<uint8_t> body(size + (size & 1));
        if (!in.read(reinterpret_cast<char*>(body.data()),
                     static_cast<std::streamsize>(body.size())))
            return false;
        if (!std::memcmp(head, "fmt ", 4))
            format.assign(body.begin(), body.begin() + size);
    }
    return false;
}

void Put32(std::ofstream& o, uint32_t v) {
    o.write(reinterpret_cast<char*>(&v), 4);
}

void WriteHeader(std::ofstream& o, const std::vector<uint8_t>& format, uint32_t data) {
    o.seekp(0);
    o.write("RIFF", 4);
    Put32(o, static_cast<uint32_t>(4 + 8 + format.size() + 8 + data));
    o.write("WAVEfmt ", 8);
    Put32(o, static_cast<uint32_t>(format.size()));
    o.write(reinterpret_cast<const char*>(format.data()),
            static_cast<std::streamsize>(format.size()));
    o.write("data", 4);
    Put32(o, data);
}
} // namespace

int main(int argc, char** argv) {
    unsigned tag = 0, channels = 0, rate = 0, bits = 0;
    if (argc != 4 || std::sscanf(argv[3], "%u:%u:%u:%u", &tag, &channels, &rate, &bits) != 4) {
        std::fprintf(stderr, "usage: %s IN.wav OUT.wav TAG:CHANNELS:RATE:BITS\n", argv[0]);
        return 2;
    }
    const auto target =
        WaveFormatCatalog::MakeRecord(static_cast<uint16_t>(tag), static_cast<uint16_t>(channels),
                                      rate, static_cast<uint16_t>(bits));
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> format;
    uint32_t remaining = 0;
    if (target.empty() || !FindChunks(in, format, remaining)) {
        std::fprintf(stderr, "unsupported input or target\n");
        return 1;
    }
    format.resize(18, 0);
    const auto* source = reinterpret_cast<const WAVEFORMATEX*>(format.data());
    bool failed = true;
    PcmFormatConverter converter(source, reinterpret_cast<const WAVEFORMATEX*>(target.data()),
                                 failed);
    if (failed)
        return 1;
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    WriteHeader(out, target, 0);
    const uint32_t block = 3 * source->nAvgBytesPerSec;
    std::vector<char> buffer(block);
    uint32_t written = 0;
    auto write = [&](const uint8_t* data, uint32_t n) {
        out.write(reinterpret_cast<const char*>(data), n);
        written += n;
    };
    while (remaining > 0 && in) {
        in.read(buffer.data(), std::min(block, remaining));
        const auto n = static_cast<uint32_t>(in.gcount());
        if (n == 0)
            break;
        remaining -= n;
        uint32_t produced = 0;
        const auto converted = converter.Convert(buffer.data(), n, produced);
        write(converted ? converted.get() : reinterpret_cast<const uint8_t*>(buffer.data()),
              produced);
    }
    uint32_t produced = 0;
    if (const auto tail = converter.Flush(produced))
        write(tail.get(), produced);
    WriteHeader(out, target, written);
    return out ? 0 : 1;
}

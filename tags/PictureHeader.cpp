#include "tags/PictureHeader.h"

using namespace TagLib;

namespace {
const ByteVector PngSignature("\x89PNG\r\n\x1a\n", 8);

std::optional<PictureHeader> Sized(PictureHeader::Kind kind, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) {
        return std::nullopt;
    }
    return PictureHeader{kind, width, height};
}

// The signature, then the IHDR chunk, which the format puts first.
std::optional<PictureHeader> ReadPng(const ByteVector& data) {
    if (data.size() < 24 || !data.containsAt("IHDR", 12)) {
        return std::nullopt;
    }
    return Sized(PictureHeader::Kind::Png, data.toUInt(16U, true), data.toUInt(20U, true));
}

// Start of frame markers: C0 to CF, but for C4 (Huffman tables), C8 (reserved) and CC (arithmetic
// coding conditioning).
bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// The segments up to the first start of frame, which holds the size; none before the scan: no
// size to trust.
std::optional<PictureHeader> ReadJpeg(const ByteVector& data) {
    constexpr uint8_t StartOfScan = 0xda;
    unsigned int at = 2;
    while (at + 4 <= data.size()) {
        if (static_cast<uint8_t>(data[at]) != 0xff) {
            return std::nullopt;
        }
        const auto marker = static_cast<uint8_t>(data[at + 1]);
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == StartOfScan) {
            return std::nullopt;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd9)) { // no length follows
            at += 2;
            continue;
        }
        const unsigned int length = data.toUShort(at + 2, true);
        if (IsStartOfFrame(marker)) {
            if (length < 7 || at + 9 > data.size()) {
                return std::nullopt;
            }
            return Sized(PictureHeader::Kind::Jpeg, data.toUShort(at + 7, true),
                         data.toUShort(at + 5, true));
        }
        if (length < 2) {
            return std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}
} // namespace

std::optional<PictureHeader> PictureHeader::Read(const ByteVector& data) {
    if (data.startsWith(PngSignature)) {
        return ReadPng(data);
    }
    if (data.size() >= 2 && static_cast<uint8_t>(data[0]) == 0xff &&
        static_cast<uint8_t>(data[1]) == 0xd8) {
        return ReadJpeg(data);
    }
    return std::nullopt;
}

#include "codecs/wma/AsfHeader.h"

#include <unistd.h>

#include <cstring>
#include <new>
#include <vector>

namespace {
using Guid = uint8_t[16];

// The objects' GUIDs as they are stored (little-endian fields).
constexpr Guid HeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                               0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid FileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid ContentEncryption = {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                    0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr Guid ExtendedContentEncryption = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C,
                                            0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};

constexpr uint64_t HeaderStart = 30;    // GUID, size, object count, two reserved bytes
constexpr uint64_t ObjectStart = 24;    // GUID and size
constexpr uint64_t DataObjectHead = 50; // GUID, size, file id, packet count, reserved
constexpr uint64_t MaxHeaderBytes = 64u << 20;
// File properties: packet count, play duration (100 ns), preroll (ms), flags, packet size.
constexpr uint64_t PacketsAt = 56, PlayAt = 64, PrerollAt = 80, FlagsAt = 88, PacketSizeAt = 92;
constexpr uint64_t FilePropertiesBytes = 104;
constexpr uint32_t BroadcastFlag = 1;

uint64_t Get(const std::vector<uint8_t>& bytes, uint64_t at, unsigned size) {
    uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, size);
    return value;
}

bool IsGuid(const std::vector<uint8_t>& bytes, uint64_t at, const Guid& guid) {
    return std::memcmp(bytes.data() + at, guid, sizeof(Guid)) == 0;
}

void TakeFileProperties(const std::vector<uint8_t>& h, uint64_t at, AsfHeader& header) {
    if (Get(h, at + FlagsAt, 4) & BroadcastFlag)
        return; // sizes and times of a live stream are not known
    const uint64_t packets = Get(h, at + PacketsAt, 8);
    const uint64_t packetSize = Get(h, at + PacketSizeAt, 4);
    if (packetSize != 0 && packets <= (UINT64_MAX - h.size() - DataObjectHead) / packetSize)
        header.promisedBytes = h.size() + DataObjectHead + packets * packetSize;
    const uint64_t playMs = Get(h, at + PlayAt, 8) / 10000;
    const uint64_t prerollMs = Get(h, at + PrerollAt, 8);
    header.promisedMs = playMs > prerollMs ? playMs - prerollMs : 0;
}
} // namespace

std::optional<AsfHeader> AsfHeader::Read(int fd) {
    std::vector<uint8_t> h(HeaderStart);
    if (pread(fd, h.data(), h.size(), 0) != static_cast<ssize_t>(h.size()) ||
        !IsGuid(h, 0, HeaderObject))
        return std::nullopt;
    const uint64_t size = Get(h, 16, 8);
    if (size < HeaderStart || size > MaxHeaderBytes)
        return std::nullopt;
    try {
        h = std::vector<uint8_t>(size);
    } catch (const std::bad_alloc&) {
        return std::nullopt; // FFmpeg decides about a header this large
    }
    if (pread(fd, h.data(), size, 0) != static_cast<ssize_t>(size))
        return std::nullopt;
    AsfHeader header;
    for (uint64_t at = HeaderStart; at + ObjectStart <= size;) {
        const uint64_t objectSize = Get(h, at + 16, 8);
        if (objectSize < ObjectStart || objectSize > size - at)
            break;
        if (IsGuid(h, at, ContentEncryption) || IsGuid(h, at, ExtendedContentEncryption))
            header.encrypted = true;
        else if (IsGuid(h, at, FileProperties) && objectSize >= FilePropertiesBytes)
            TakeFileProperties(h, at, header);
        at += objectSize;
    }
    return header;
}

#pragma once
// What an ASF file's header object says before any packet is read: whether the content is
// encrypted, and how many packets and how much time the file promises.
#include <cstdint>
#include <optional>

struct AsfHeader {
    // A content-encryption or extended-content-encryption object is present, whatever it holds.
    bool encrypted = false;
    // The file's size as far as its header and packet count reach; 0 when it does not say (a
    // live stream's header).
    uint64_t promisedBytes = 0;
    // Play time without the preroll, in milliseconds; 0 when not given.
    uint64_t promisedMs = 0;

    // Reads the header object of the open file; nothing when the file does not start with one.
    static std::optional<AsfHeader> Read(int fd);
};

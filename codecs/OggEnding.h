#pragma once
// Whether an Ogg file ends with a whole page that closes its stream. The Xiph decoding libraries
// end a file cut short quietly at its last whole page; a file without its closing page did not
// arrive whole. Header only: each module compiles its own copy.
#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/StreamFile.h"

inline bool OggEndsWhole(StreamFile file) {
    // The largest Ogg page: a 27-byte header, 255 lacing values, 255 × 255 bytes of body.
    constexpr uint64_t MaxPage = 27 + 255 + 255 * 255;
    const uint64_t size = file.Size();
    const uint64_t start = size > MaxPage ? size - MaxPage : 0;
    std::vector<uint8_t> tail(static_cast<std::size_t>(size - start));
    file.position = start;
    std::size_t got = 0;
    while (got < tail.size()) {
        const long n = file.Read(tail.data() + got, tail.size() - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    // The last page is the last "OggS" whose header and body reach exactly to the file's end.
    for (std::size_t at = tail.size() < 27 ? 0 : tail.size() - 27 + 1; at-- > 0;) {
        if (std::memcmp(&tail[at], "OggS", 4) != 0 || at + 27 > tail.size())
            continue;
        const std::size_t segments = tail[at + 26];
        if (at + 27 + segments > tail.size())
            continue;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += tail[at + 27 + i];
        if (at + 27 + segments + body == tail.size())
            return (tail[at + 5] & 0x04) != 0; // end of stream
    }
    return false;
}

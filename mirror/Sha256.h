#pragma once
// SHA-256 through Nettle, which uses the processor's SHA instructions where it has them: a whole
// output is read through it after every conversion, so it must keep up with the disk.
#include <nettle/sha2.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mirror/Digest.h"

class Sha256 {
public:
    Sha256() { sha256_init(&context_); }

    void Add(const void* data, std::size_t size) {
        sha256_update(&context_, size, static_cast<const uint8_t*>(data));
    }
    // A field of a record: its length first, so that no two records run together alike.
    void AddField(std::string_view bytes) {
        AddNumber(bytes.size());
        Add(bytes.data(), bytes.size());
    }
    void AddNumber(uint64_t number) {
        uint8_t bytes[8];
        for (int i = 0; i < 8; ++i) {
            bytes[i] = static_cast<uint8_t>(number >> (8 * i));
        }
        Add(bytes, sizeof bytes);
    }
    Digest Finish() {
        Digest digest{};
        sha256_digest(&context_, digest.size(), digest.data());
        return digest;
    }

private:
    sha256_ctx context_{};
};

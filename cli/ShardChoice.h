#pragma once
// One share of a job that several machines convert at once: --shard K/N keeps the rows whose
// output path, relative to where the outputs go, hashes to K of N. The hash (64-bit FNV-1a of
// the path's bytes) is fixed, so every machine and every run splits a library the same way.
#include <cstdint>
#include <optional>
#include <string_view>

struct ShardChoice {
    uint32_t Number; // 1..Count
    uint32_t Count;

    // "K/N" with 1 <= K <= N; nullopt for any other text.
    static std::optional<ShardChoice> Parse(std::string_view text);
    bool Holds(std::string_view relativeOutput) const;
};

uint64_t Fnv1a64(std::string_view bytes);

#pragma once
// A SHA-256 digest among a row's values, which are doubles: eight 32-bit words, "<name> 0" to
// "<name> 7", each exact in a double, so that the digest comes back from a worker process bit for
// bit.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/RowValues.h"

using DigestBytes = std::array<uint8_t, 32>;

void PutDigest(RowValues& values, std::string_view name, const DigestBytes& digest);
// Nullopt when the values hold no whole digest of that name.
std::optional<DigestBytes> DigestIn(const RowValues& values, std::string_view name);

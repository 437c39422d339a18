#pragma once
// A SHA-256 digest: of an output's bytes, of a source's audio or of the tags it carries.
#include <array>
#include <cstdint>

using Digest = std::array<uint8_t, 32>;

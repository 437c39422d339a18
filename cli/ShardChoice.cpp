#include "cli/ShardChoice.h"

#include <charconv>

namespace {
// A whole number without sign, spaces or anything after it.
std::optional<uint32_t> Whole(std::string_view text) {
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}
} // namespace

std::optional<ShardChoice> ShardChoice::Parse(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto number = Whole(text.substr(0, slash));
    const auto count = Whole(text.substr(slash + 1));
    if (!number || !count || *number < 1 || *number > *count) {
        return std::nullopt;
    }
    return ShardChoice{*number, *count};
}

bool ShardChoice::Holds(std::string_view relativeOutput) const {
    return Fnv1a64(relativeOutput) % Count == Number - 1;
}

uint64_t Fnv1a64(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3;
    }
    return hash;
}

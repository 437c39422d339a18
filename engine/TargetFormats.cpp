#include "engine/TargetFormats.h"

#include <algorithm>
#include <strings.h>

namespace {
template <typename List, typename Pred>
std::optional<std::size_t> ItemWhere(const List& list, Pred pred) {
    const auto it = std::find_if(list.begin(), list.end(), pred);
    if (it == list.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - list.begin());
}
} // namespace

const TargetFormatInfo* FindTargetFormat(uint8_t number) {
    const auto item = ItemWhere(TargetFormats, [&](const auto& f) { return f.Number == number; });
    return item ? &TargetFormats[*item] : nullptr;
}

const TargetFormatInfo* FindTargetFormat(std::string_view key) {
    const auto item = ItemWhere(TargetFormats, [&](const auto& f) {
        return f.Key.size() == key.size() && strncasecmp(f.Key.data(), key.data(), key.size()) == 0;
    });
    return item ? &TargetFormats[*item] : nullptr;
}

std::optional<std::size_t> Mp3SampleRateItem(int32_t hz) {
    return ItemWhere(Mp3SampleRates, [&](const auto& c) { return c.Hz == hz; });
}

std::optional<std::size_t> Mp3BitRateItem(int32_t kbps) {
    return ItemWhere(Mp3BitRates, [&](const auto& c) { return c.Kbps == kbps; });
}

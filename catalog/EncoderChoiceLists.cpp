#include "catalog/EncoderChoiceLists.h"

#include <algorithm>

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

std::optional<std::size_t> Mp3SampleRateItem(int32_t hz) {
    return ItemWhere(Mp3SampleRates, [&](const auto& c) { return c.Hz == hz; });
}

std::optional<std::size_t> Mp3BitRateItem(int32_t kbps) {
    return ItemWhere(Mp3BitRates, [&](const auto& c) { return c.Kbps == kbps; });
}

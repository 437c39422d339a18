#include "catalog/FormatOption.h"

#include <algorithm>

bool FormatOption::Accepts(int32_t value) const {
    // An offered value outside the range is taken too: a list's "off" (Replaces).
    if (OnlyOffered || ItemOf(value)) {
        return ItemOf(value).has_value();
    }
    return (value >= Least && value <= Most) || (ZeroKeepsInput && value == 0);
}

std::optional<std::size_t> FormatOption::ItemOf(int32_t value) const {
    const auto it =
        std::ranges::find_if(Offered, [&](const OfferedValue& o) { return o.Value == value; });
    if (it == Offered.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - Offered.begin());
}

std::optional<std::size_t> FormatOption::StoredItemOf(int32_t value) const {
    if (StoredOrder.empty()) {
        return ItemOf(value);
    }
    const auto it = std::ranges::find(StoredOrder, value);
    if (it == StoredOrder.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - StoredOrder.begin());
}

std::optional<int32_t> FormatOption::ValueOfStoredItem(std::size_t item) const {
    if (!StoredOrder.empty()) {
        return item < StoredOrder.size() ? std::optional(StoredOrder[item]) : std::nullopt;
    }
    return item < Offered.size() ? std::optional(Offered[item].Value) : std::nullopt;
}

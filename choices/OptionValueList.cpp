#include "choices/OptionValueList.h"

#include <algorithm>

OptionValueList::OptionValueList(const FormatOption& option, int32_t current) : option_(option) {
    for (const OfferedValue& offered : option.Offered) {
        items_.push_back({offered.Value, TextOf(option, offered.Value)});
    }
    const bool listed =
        std::ranges::any_of(items_, [&](const ListedValue& item) { return item.Value == current; });
    if (!listed && option.Accepts(current)) {
        // "As the input" (0) stays first; the others are in ascending order.
        const auto place = std::ranges::find_if(items_, [&](const ListedValue& item) {
            return item.Value != 0 && item.Value > current;
        });
        items_.insert(place, {current, TextOf(option, current)});
    }
}

std::size_t OptionValueList::IndexOf(int32_t value) const {
    for (const int32_t wanted : {value, option_.Default}) {
        const auto found = std::ranges::find(items_, wanted, &ListedValue::Value);
        if (found != items_.end()) {
            return static_cast<std::size_t>(found - items_.begin());
        }
    }
    return 0;
}

std::string OptionValueList::TextOf(const FormatOption& option, int32_t value) {
    const auto offered = std::ranges::find(option.Offered, value, &OfferedValue::Value);
    if (offered != option.Offered.end() && !offered->Text.empty()) {
        return std::string(offered->Text);
    }
    std::string text = std::to_string(value);
    if (!option.Unit.empty()) {
        text += ' ';
        text += option.Unit;
    }
    return text;
}

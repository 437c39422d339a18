#include "catalog/OptionValues.h"

#include "catalog/FormatOption.h"

int32_t OptionValues::Of(const FormatOption& option) const {
    return Chosen(option).value_or(option.Default);
}

std::optional<int32_t> OptionValues::Chosen(const FormatOption& option) const {
    const auto it = values_.find(option.StoredName);
    return it == values_.end() ? std::nullopt : std::optional(it->second);
}

void OptionValues::Set(const FormatOption& option, int32_t value) {
    values_[option.StoredName] = value;
}

void OptionValues::Clear(const FormatOption& option) {
    values_.erase(option.StoredName);
}

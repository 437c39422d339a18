#include "catalog/FormatOptions.h"

#include <algorithm>

#include "catalog/FormatTable.h"

namespace {
std::vector<std::reference_wrapper<const FormatOption>> CollectOptions() {
    std::vector<std::reference_wrapper<const FormatOption>> own;
    std::vector<std::reference_wrapper<const FormatOption>> shared;
    const auto listed = [&](const FormatOption* option) {
        const auto same = [&](const FormatOption& o) { return &o == option; };
        return std::ranges::any_of(own, same) || std::ranges::any_of(shared, same);
    };
    for (const FormatInfo& format : Formats()) {
        for (const FormatOption* option : format.Options) {
            if (!listed(option)) {
                (FormatsTaking(*option).size() > 1 ? shared : own).push_back(*option);
            }
        }
    }
    own.insert(own.end(), shared.begin(), shared.end());
    return own;
}
} // namespace

std::span<const std::reference_wrapper<const FormatOption>> FormatOptions() {
    static const std::vector<std::reference_wrapper<const FormatOption>> options = CollectOptions();
    return options;
}

std::vector<const FormatInfo*> FormatsTaking(const FormatOption& option) {
    std::vector<const FormatInfo*> formats;
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget() &&
            std::ranges::find(format.Options, &option) != format.Options.end()) {
            formats.push_back(&format);
        }
    }
    return formats;
}

bool OptionAppliesTo(const FormatOption& option, uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    return format && std::ranges::find(format->Options, &option) != format->Options.end();
}

bool OptionInUse(const FormatInfo& format, const FormatOption& option, const OptionValues& values) {
    if (option.Replaces) {
        return option.ReplacesWith(values.Of(option));
    }
    return std::ranges::none_of(format.Options, [&](const FormatOption* other) {
        return other->Replaces == &option && other->ReplacesWith(values.Of(*other));
    });
}

const FormatOption* FindFormatOption(std::string_view flag, uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    if (!format) {
        return nullptr;
    }
    const auto it = std::ranges::find_if(format->Options,
                                         [&](const FormatOption* o) { return o->Flag == flag; });
    return it == format->Options.end() ? nullptr : *it;
}

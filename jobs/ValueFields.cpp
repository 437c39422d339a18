#include "jobs/ValueFields.h"

#include <charconv>

void AppendValueFields(const RowValues& values, std::vector<std::string>& fields) {
    for (const auto& [name, value] : values) {
        // The shortest text that reads back as the same double.
        char text[32];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
        if (ec != std::errc()) {
            continue;
        }
        fields.push_back(name);
        fields.emplace_back(text, end);
    }
}

RowValues ValuesFromFields(std::vector<std::string>::const_iterator begin,
                           std::vector<std::string>::const_iterator end) {
    RowValues values;
    for (auto name = begin; end - name >= 2; name += 2) {
        const std::string& text = *(name + 1);
        double value = 0;
        const auto [stop, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && stop == text.data() + text.size()) {
            values.insert_or_assign(*name, value);
        }
    }
    return values;
}

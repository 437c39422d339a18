#include "jobs/PartFields.h"

#include <charconv>

namespace {
bool ReadNumber(const std::string& text, int64_t& number) {
    const auto [stop, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return ec == std::errc() && stop == text.data() + text.size() && number >= 0;
}
} // namespace

void AppendPartFields(const RowPart& part, std::vector<std::string>& fields) {
    fields.push_back(std::to_string(part.Start));
    fields.push_back(part.End ? std::to_string(*part.End) : std::string());
    fields.push_back(std::to_string(part.PerSecond));
    for (const auto& [name, value] : part.Tags) {
        fields.push_back(name);
        fields.push_back(value);
    }
}

std::optional<RowPart> PartFromFields(std::vector<std::string>::const_iterator begin,
                                      std::vector<std::string>::const_iterator end) {
    RowPart part;
    int64_t last = 0;
    if (end - begin < 3 || (end - begin) % 2 != 1 || !ReadNumber(*begin, part.Start) ||
        (!begin[1].empty() && !ReadNumber(begin[1], last)) ||
        !ReadNumber(begin[2], part.PerSecond) || part.PerSecond == 0) {
        return std::nullopt;
    }
    if (!begin[1].empty()) {
        part.End = last;
    }
    for (auto name = begin + 3; name != end; name += 2) {
        part.Tags.emplace_back(*name, *(name + 1));
    }
    return part;
}

#pragma once
// The values chosen for a job's encoder options, by option. An option without a value has its
// default; the choices of the options window keep a list without a selection that way too.
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

struct FormatOption;

class OptionValues {
public:
    int32_t Of(const FormatOption& option) const;
    // The value chosen, if any.
    std::optional<int32_t> Chosen(const FormatOption& option) const;
    void Set(const FormatOption& option, int32_t value);
    void Clear(const FormatOption& option);

    bool operator==(const OptionValues&) const = default;

private:
    // By the option's stored name, which is unique and outlives every job.
    std::map<std::string_view, int32_t> values_;
};

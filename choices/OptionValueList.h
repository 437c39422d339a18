#pragma once
// What the options form lists for an encoder option given as a number: its usual values in their
// order, with the value a user stored between them kept in its place, so that opening the form
// never changes a choice.
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/FormatOption.h"

struct ListedValue {
    int32_t Value;
    std::string Text;
};

class OptionValueList {
public:
    // current: the stored value; listed when the option accepts it.
    OptionValueList(const FormatOption& option, int32_t current);

    const std::vector<ListedValue>& Items() const { return items_; }
    // The place of value in Items(); the option's default when value is not listed.
    std::size_t IndexOf(int32_t value) const;

    // "128 kbit/s", "44100 Hz", or the offered value's own text.
    static std::string TextOf(const FormatOption& option, int32_t value);

private:
    const FormatOption& option_;
    std::vector<ListedValue> items_;
};

#include "tags/NumberPairs.h"

#include <algorithm>
#include <optional>
#include <string>

using namespace TagLib;

namespace {
// More digits than any track or disc count needs, and few enough for every format's reader.
constexpr size_t MaxDigits = 9;

std::optional<String> Number(const String& text) {
    const String stripped = text.stripWhiteSpace();
    const std::string digits = stripped.to8Bit();
    const bool decimal =
        !digits.empty() && digits.size() <= MaxDigits &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!decimal || digits.find_first_not_of('0') == std::string::npos) {
        return std::nullopt;
    }
    return stripped;
}

String FirstValue(const PropertyMap& fields, const char* property) {
    return fields.contains(property) && !fields[property].isEmpty() ? fields[property].front()
                                                                    : String();
}

void Put(PropertyMap& fields, const char* property, const std::optional<String>& value) {
    if (value) {
        fields.replace(property, StringList(*value));
    } else {
        fields.erase(property);
    }
}
} // namespace

void SplitNumberPairs(PropertyMap& fields) {
    for (const NumberPair& pair : NumberPairs) {
        const String text = FirstValue(fields, pair.number);
        const int slash = text.find("/");
        const std::optional<String> total = Number(FirstValue(fields, pair.total));
        Put(fields, pair.number, Number(slash < 0 ? text : text.substr(0, slash)));
        Put(fields, pair.total, total || slash < 0 ? total : Number(text.substr(slash + 1)));
    }
}

PropertyMap JoinedNumberPairs(const PropertyMap& fields) {
    PropertyMap joined = fields;
    for (const NumberPair& pair : NumberPairs) {
        joined.erase(pair.total);
        if (fields.contains(pair.number) && fields.contains(pair.total)) {
            joined.replace(pair.number, StringList(FirstValue(fields, pair.number) + "/" +
                                                   FirstValue(fields, pair.total)));
        }
    }
    return joined;
}

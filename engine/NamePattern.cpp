#include "engine/NamePattern.h"

#include <algorithm>
#include <optional>

#include "engine/Utf8Text.h"
#include "tags/TagFields.h"

namespace {
// The tag fields are named as tags/TagFields.h carries them; a name not there does not compile.
consteval const char* Carried(std::string_view property) {
    for (const TagField& field : TagFields) {
        if (property == field.property) {
            return field.property;
        }
    }
    throw "not a carried tag field";
}

enum class Source { Tag, Number, Year, BaseName, Folder };

struct NameField {
    std::string_view name;
    const char* property;
    const char* otherProperty; // taken when property is empty
    Source source;
    std::string_view fallback; // outside "[...]", for an empty value
    bool baseNameFallback;
};

constexpr NameField NameFields[] = {
    {"artist", Carried("ARTIST"), nullptr, Source::Tag, "Unknown Artist", false},
    {"albumartist", Carried("ALBUMARTIST"), Carried("ARTIST"), Source::Tag, "Unknown Artist",
     false},
    {"album", Carried("ALBUM"), nullptr, Source::Tag, "Unknown Album", false},
    {"title", Carried("TITLE"), nullptr, Source::Tag, "", true},
    {"track", Carried("TRACKNUMBER"), nullptr, Source::Number, "", false},
    {"disc", Carried("DISCNUMBER"), nullptr, Source::Number, "", false},
    {"year", Carried("DATE"), nullptr, Source::Year, "", false},
    {"genre", Carried("GENRE"), nullptr, Source::Tag, "", false},
    {"composer", Carried("COMPOSER"), nullptr, Source::Tag, "", false},
    {"name", nullptr, nullptr, Source::BaseName, "", false},
    {"folder", nullptr, nullptr, Source::Folder, "", false},
};

constexpr std::size_t MaxPartBytes = 255;
constexpr int MaxWidth = 32;

struct Problem {
    std::size_t at;
    std::string what;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int FindField(std::string_view name) {
    for (std::size_t i = 0; i < std::size(NameFields); ++i) {
        if (NameFields[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<Problem> ReadWidth(std::string_view text, std::size_t at, int& width) {
    const bool digits =
        !text.empty() && text.size() <= 2 && std::all_of(text.begin(), text.end(), IsDigit);
    width = digits ? std::stoi(std::string(text)) : 0;
    if (width < 1 || width > MaxWidth) {
        return Problem{at, "bad width '" + std::string(text) + "'"};
    }
    return std::nullopt;
}

// The inside of "{...}", which starts at byte at of the pattern.
std::optional<Problem> ReadField(std::string_view inside, std::size_t at, std::vector<int>& fields,
                                 int& width) {
    const std::size_t colon = inside.find(':');
    if (colon != std::string_view::npos) {
        if (auto problem = ReadWidth(inside.substr(colon + 1), at + colon + 1, width)) {
            return problem;
        }
        inside = inside.substr(0, colon);
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = std::min(inside.find('|', start), inside.size());
        const std::string_view name = inside.substr(start, bar - start);
        const int field = FindField(name);
        if (field < 0) {
            return Problem{at + start, "unknown field name '" + std::string(name) + "'"};
        }
        fields.push_back(field);
        if (bar == inside.size()) {
            return std::nullopt;
        }
        start = bar + 1;
    }
}

void Trim(std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
}

// Marks that change the order in which a name is shown, so that its end can seem elsewhere.
bool IsDirectionMark(char32_t code) {
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

std::string CleanValue(std::string_view value) {
    std::string clean;
    for (std::size_t at = 0; at < value.size();) {
        const Utf8Char c = DecodeUtf8(value, at);
        const std::size_t length = std::max<std::size_t>(c.length, 1);
        if (value[at] == '/' || value[at] == '\0') {
            clean += '-';
        } else if (c.length == 0 || !IsDirectionMark(c.code)) {
            clean.append(value, at, length);
        }
        at += length;
    }
    Trim(clean);
    return clean;
}

// A folder's own '/' still makes folders; each of its parts is cleaned as a value is.
std::string CleanFolder(std::string_view folder) {
    std::string clean;
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t slash = std::min(folder.find('/', start), folder.size());
        const std::string part = CleanValue(folder.substr(start, slash - start));
        if (!part.empty()) {
            clean += clean.empty() ? "" : "/";
            clean += part;
        }
        start = slash + 1;
    }
    return clean;
}

// The number before any "/total", without leading zeros; none for 0 or no digits.
std::string NumberOf(std::string_view value) {
    const std::size_t digits =
        std::find_if_not(value.begin(), value.end(), IsDigit) - value.begin();
    const std::string_view number = value.substr(0, std::min<std::size_t>(digits, 9));
    const std::size_t first = number.find_first_not_of('0');
    return first == std::string_view::npos ? std::string() : std::string(number.substr(first));
}

// The first four digits in a row: dates come as "2003", "2003-05-01" or "05/01/2003".
std::string YearOf(std::string_view date) {
    for (std::size_t at = 0; at + 4 <= date.size(); ++at) {
        const std::string_view four = date.substr(at, 4);
        if (std::all_of(four.begin(), four.end(), IsDigit)) {
            return std::string(four);
        }
    }
    return {};
}

std::string_view TagValue(const NameValues& values, const char* property) {
    if (!property) {
        return {};
    }
    const auto found = values.tags.find(std::string_view(property));
    return found == values.tags.end() ? std::string_view() : std::string_view(found->second);
}

std::string RawValue(const NameField& field, const NameValues& values) {
    switch (field.source) {
    case Source::BaseName:
        return values.baseName;
    case Source::Folder:
        return values.folder;
    case Source::Number:
        return NumberOf(TagValue(values, field.property));
    case Source::Year:
        return YearOf(TagValue(values, field.property));
    case Source::Tag:
        break;
    }
    const std::string_view value = TagValue(values, field.property);
    return std::string(CleanValue(value).empty() ? TagValue(values, field.otherProperty) : value);
}

void PadNumber(std::string& value, int width) {
    const auto wanted = static_cast<std::size_t>(width);
    if (value.size() < wanted && std::all_of(value.begin(), value.end(), IsDigit)) {
        value.insert(0, wanted - value.size(), '0');
    }
}

std::string Fallback(const NameField& field, const NameValues& values) {
    return field.baseNameFallback ? CleanValue(values.baseName) : std::string(field.fallback);
}

// Bytes that are no UTF-8 become '_', spaces around are trimmed, leading dots become '_'.
std::string CleanPart(std::string_view part) {
    std::string clean;
    for (std::size_t at = 0; at < part.size();) {
        const std::size_t length = DecodeUtf8(part, at).length;
        if (length == 0) {
            clean += '_';
            ++at;
        } else {
            clean.append(part, at, length);
            at += length;
        }
    }
    Trim(clean);
    const std::size_t dots = std::min(clean.find_first_not_of('.'), clean.size());
    clean.replace(0, dots, dots, '_');
    return clean;
}

// part, valid UTF-8, cut to at most budget bytes between characters.
std::string CutPart(std::string part, std::size_t budget) {
    std::size_t end = 0;
    while (end < part.size()) {
        const std::size_t length = std::max<std::size_t>(DecodeUtf8(part, end).length, 1);
        if (end + length > budget) {
            break;
        }
        end += length;
    }
    part.erase(end);
    Trim(part);
    return part.empty() ? "_" : part;
}

std::vector<std::string> SplitParts(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        std::string part = CleanPart(path.substr(start, slash - start));
        if (!part.empty()) {
            parts.push_back(std::move(part));
        }
        start = slash + 1;
    }
    return parts;
}
} // namespace

std::variant<NamePattern, NamePatternError> NamePattern::Parse(std::string_view text) {
    NamePattern pattern;
    std::string literal;
    int bracket = -1;
    std::size_t bracketAt = 0;
    const auto flush = [&] {
        if (!literal.empty()) {
            pattern.elements_.push_back({std::move(literal), {}, 0, bracket});
            literal.clear();
        }
    };
    const auto fail = [&](Problem problem) {
        return NamePatternError{std::string(text), problem.at, std::move(problem.what)};
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '{') {
            const std::size_t close = text.find_first_of("{}", at + 1);
            if (close == std::string_view::npos || text[close] == '{') {
                return fail({at, "unbalanced '{'"});
            }
            flush();
            Element element{{}, {}, 0, bracket};
            if (auto problem = ReadField(text.substr(at + 1, close - at - 1), at + 1,
                                         element.fields, element.width)) {
                return fail(std::move(*problem));
            }
            pattern.elements_.push_back(std::move(element));
            at = close;
        } else if (c == '}') {
            return fail({at, "unbalanced '}'"});
        } else if (c == '[') {
            if (bracket >= 0) {
                return fail({at, "'[' inside '[...]'"});
            }
            flush();
            bracket = pattern.bracketCount_++;
            bracketAt = at;
        } else if (c == ']') {
            if (bracket < 0) {
                return fail({at, "unbalanced ']'"});
            }
            flush();
            bracket = -1;
        } else {
            literal += c;
        }
    }
    if (bracket >= 0) {
        return fail({bracketAt, "unbalanced '['"});
    }
    flush();
    return pattern;
}

bool NamePattern::UsesTags() const {
    return std::any_of(elements_.begin(), elements_.end(), [](const Element& element) {
        return std::any_of(element.fields.begin(), element.fields.end(), [](int field) {
            const Source source = NameFields[field].source;
            return source != Source::BaseName && source != Source::Folder;
        });
    });
}

std::string NamePattern::FieldValue(const Element& element, const NameValues& values) const {
    for (const int field : element.fields) {
        const NameField& name = NameFields[field];
        std::string value = name.source == Source::Folder ? CleanFolder(values.folder)
                                                          : CleanValue(RawValue(name, values));
        if (!value.empty()) {
            PadNumber(value, element.width);
            return value;
        }
    }
    return {};
}

std::string NamePattern::Evaluate(const NameValues& values, std::size_t extensionBytes) const {
    std::vector<std::string> texts;
    std::vector<bool> dropped(static_cast<std::size_t>(bracketCount_), false);
    for (const Element& element : elements_) {
        std::string text = element.fields.empty() ? element.text : FieldValue(element, values);
        if (text.empty() && !element.fields.empty()) {
            if (element.bracket >= 0) {
                dropped[static_cast<std::size_t>(element.bracket)] = true;
            } else {
                text = Fallback(NameFields[element.fields.front()], values);
            }
        }
        texts.push_back(std::move(text));
    }
    std::string path;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const int bracket = elements_[i].bracket;
        if (bracket < 0 || !dropped[static_cast<std::size_t>(bracket)]) {
            path += texts[i];
        }
    }
    std::vector<std::string> parts = SplitParts(path);
    if (parts.empty()) {
        parts = SplitParts(CleanValue(values.baseName));
    }
    if (parts.empty()) {
        parts.push_back("_");
    }
    const std::size_t lastBudget = MaxPartBytes - std::min(extensionBytes, MaxPartBytes - 1);
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        result += CutPart(std::move(parts[i]), last ? lastBudget : MaxPartBytes);
        result += last ? "" : "/";
    }
    return result;
}

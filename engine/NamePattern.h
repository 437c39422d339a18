#pragma once
// A pattern that names an output from its input's tags, e.g.
// "{albumartist|artist}/{album}/[{disc}-]{track:02} {title}". A field in braces takes the first
// non-empty of its alternatives, a width after ':' pads a number with zeros; "[...]" is left out
// whole when a field inside is empty; '/' in the pattern's own text makes folders.
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/NamePatternError.h"
#include "engine/NameValues.h"

class NamePattern {
public:
    static std::variant<NamePattern, NamePatternError> Parse(std::string_view text);

    // The relative path, without extension, named for values. A value never makes a folder nor
    // climbs out: '/' and NUL in it become '-', right-to-left and other direction marks are
    // dropped (they would show the name reordered), spaces around it are trimmed; only {folder}
    // makes folders, its parts cleaned so. Of every part
    // of the path, spaces around it are trimmed and leading dots become '_' (".." gives "__",
    // ".x" gives "_x": no part is hidden or climbs), bytes that are no UTF-8 become '_', empty
    // parts are left out, and each part is cut to 255 bytes at a character boundary, the last to
    // 255 less extensionBytes, which the caller's extension takes. A path that comes out empty is
    // the input's base name, or "_".
    std::string Evaluate(const NameValues& values, std::size_t extensionBytes) const;
    // Some field is filled from tags, which must then be read for NameValues::tags.
    bool UsesTags() const;

private:
    struct Element {
        std::string text;        // literal text, for an element without fields
        std::vector<int> fields; // indices into the field table, the alternatives in order
        int width = 0;           // 0: as it is
        int bracket = -1;        // the "[...]" the element is in, -1 outside
    };

    std::string FieldValue(const Element& element, const NameValues& values) const;

    std::vector<Element> elements_;
    int bracketCount_ = 0;
};

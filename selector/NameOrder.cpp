#include "selector/NameOrder.h"

#include <unicode/ucol.h>
#include <unicode/utf16.h>

#include <cstdlib>
#include <vector>

namespace {
// A byte outside valid UTF-8 becomes a private use character of its own.
constexpr char32_t EscapeBase = 0xF700;

char32_t Escaped(unsigned char byte) {
    return EscapeBase + byte;
}

// Decodes one character at text[i]; advances i past it.
char32_t DecodeOne(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        ++i;
        return Escaped(lead);
    }
    if (i + length > text.size()) {
        ++i;
        return Escaped(lead);
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return Escaped(lead);
        }
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return Escaped(lead);
    }
    i += length;
    return code;
}

std::vector<UChar> Utf16(std::string_view utf8) {
    std::vector<UChar> text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t code = DecodeOne(utf8, i);
        if (U16_LENGTH(code) == 1) {
            text.push_back(static_cast<UChar>(code));
        } else {
            text.push_back(U16_LEAD(code));
            text.push_back(U16_TRAIL(code));
        }
    }
    return text;
}

// "de_DE.UTF-8@euro" -> "de_DE"; the POSIX locales -> "" (the root order).
std::string IcuLocale(std::string_view posix) {
    const std::string name(posix.substr(0, posix.find_first_of(".@")));
    return name == "C" || name == "POSIX" ? std::string() : name;
}

std::string UserCollationLocale() {
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            return value;
        }
    }
    return {};
}
} // namespace

void NameOrder::CloseCollator::operator()(UCollator* collator) const {
    ucol_close(collator);
}

NameOrder::NameOrder(std::string_view locale) {
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(ucol_open(IcuLocale(locale).c_str(), &status));
    if (U_FAILURE(status)) {
        collator_.reset();
        return;
    }
    // Letter case apart (secondary strength keeps accents apart), and digits as numbers.
    ucol_setStrength(collator_.get(), UCOL_SECONDARY);
    ucol_setAttribute(collator_.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
}

NameOrder::~NameOrder() = default;

const NameOrder& NameOrder::ForUser() {
    static const NameOrder order(UserCollationLocale());
    return order;
}

std::string NameOrder::Key(std::string_view utf8) const {
    if (!collator_) {
        return std::string(utf8); // by character code
    }
    const std::vector<UChar> text = Utf16(utf8);
    const auto length = static_cast<int32_t>(text.size());
    std::string key(text.size() * 4 + 16, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(key.data());
    int32_t needed = ucol_getSortKey(collator_.get(), text.data(), length, bytes,
                                     static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(needed));
        bytes = reinterpret_cast<uint8_t*>(key.data());
        needed = ucol_getSortKey(collator_.get(), text.data(), length, bytes, needed);
    }
    // The key ends in a zero byte of its own.
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
}

int NameOrder::Compare(std::string_view a, std::string_view b) const {
    return CompareKeys(Key(a), Key(b));
}

#include "engine/Utf8Text.h"

namespace {
struct LeadByte {
    std::size_t length;
    char32_t bits;
    char32_t smallest;
};

LeadByte ReadLead(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) {
        return {2, lead & 0x1Fu, 0x80};
    }
    if ((lead & 0xF0) == 0xE0) {
        return {3, lead & 0x0Fu, 0x800};
    }
    if ((lead & 0xF8) == 0xF0) {
        return {4, lead & 0x07u, 0x10000};
    }
    return {0, 0, 0};
}
} // namespace

Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (first < 0x80) {
        return {first, 1};
    }
    const LeadByte lead = ReadLead(first);
    if (lead.length == 0 || at + lead.length > text.size()) {
        return {0, 0};
    }
    char32_t code = lead.bits;
    for (std::size_t i = 1; i < lead.length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {0, 0};
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < lead.smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {0, 0};
    }
    return {code, lead.length};
}

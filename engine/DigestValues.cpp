#include "engine/DigestValues.h"

#include <string>

namespace {
constexpr std::size_t WordBytes = 4;
constexpr std::size_t Words = std::tuple_size_v<DigestBytes> / WordBytes;

std::string WordName(std::string_view name, std::size_t word) {
    return std::string(name) + ' ' + std::to_string(word);
}
} // namespace

void PutDigest(RowValues& values, std::string_view name, const DigestBytes& digest) {
    for (std::size_t word = 0; word < Words; ++word) {
        uint32_t number = 0;
        for (std::size_t byte = 0; byte < WordBytes; ++byte) {
            number = number << 8 | digest[word * WordBytes + byte];
        }
        values[WordName(name, word)] = number;
    }
}

std::optional<DigestBytes> DigestIn(const RowValues& values, std::string_view name) {
    DigestBytes digest{};
    for (std::size_t word = 0; word < Words; ++word) {
        const auto found = values.find(WordName(name, word));
        if (found == values.end() || !(found->second >= 0 && found->second <= UINT32_MAX)) {
            return std::nullopt;
        }
        const auto number = static_cast<uint32_t>(found->second);
        if (number != found->second) {
            return std::nullopt;
        }
        for (std::size_t byte = 0; byte < WordBytes; ++byte) {
            digest[word * WordBytes + byte] = static_cast<uint8_t>(number >> (8 * (3 - byte)));
        }
    }
    return digest;
}

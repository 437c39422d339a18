#pragma once
// What a picture's header says of it, read before anything is decoded: whether it is a JPEG or a
// PNG picture, and its size, so that a picture too large to decode is refused unread.
#include <cstdint>
#include <optional>

#include <taglib/tbytevector.h>

struct PictureHeader {
    enum class Kind { Jpeg, Png };

    Kind kind = Kind::Jpeg;
    uint32_t width = 0;
    uint32_t height = 0;

    // Null for what is neither, a header cut short, or a size of zero.
    static std::optional<PictureHeader> Read(const TagLib::ByteVector& data);

    const char* MimeType() const { return kind == Kind::Jpeg ? "image/jpeg" : "image/png"; }
    uint64_t Pixels() const { return uint64_t{width} * height; }
    bool FitsIn(uint32_t size) const { return width <= size && height <= size; }
};

// A cover with more pixels than this is not decoded: it would take hundreds of megabytes, and no
// player shows one so large. 40 million is a 6,000 x 6,000 square with room to spare.
inline constexpr uint64_t MaxCoverPixels = 40'000'000;

#pragma once
// What is carried from an input to its output: the text fields under TagLib's property names
// (only those of TagFields.h) and the front cover picture.
#include <optional>

#include <taglib/tbytevector.h>
#include <taglib/tpropertymap.h>
#include <taglib/tstring.h>

struct AudioTags {
    struct Picture {
        TagLib::String mimeType;
        TagLib::String description;
        TagLib::ByteVector data;
    };

    TagLib::PropertyMap fields;
    std::optional<Picture> frontCover;
    // The input also carried an ID3v1 tag, so an MP3 output gets one too.
    bool id3v1 = false;

    bool Empty() const { return fields.isEmpty() && !frontCover; }
};

// Pictures above this size are left behind rather than copied.
inline constexpr unsigned int MaxPictureBytes = 16 * 1024 * 1024;

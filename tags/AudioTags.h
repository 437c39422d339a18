#pragma once
// What is carried from an input to its output: the text fields under TagLib's property names
// (only those of TagFields.h), the free-form fields under their own names, and the attached
// pictures.
#include <cstdint>
#include <vector>

#include <taglib/tbytevector.h>
#include <taglib/tpropertymap.h>
#include <taglib/tstring.h>

struct AudioTags {
    struct Picture {
        // The picture type as ID3v2 "APIC", ASF "WM/Picture" and FLAC picture blocks number it
        // alike: 0 other, 3 front cover, 4 back cover, … up to LastPictureType.
        uint8_t type = 0;
        TagLib::String mimeType;
        TagLib::String description;
        TagLib::ByteVector data;
    };
    // A field outside the table of TagFields.h, under the name the input gives it: a Vorbis
    // comment's field, an ID3v2 "TXXX" frame, an iTunes "----" atom, an ASF text attribute.
    struct FreeField {
        TagLib::String name;
        TagLib::StringList values;
    };
    static constexpr uint8_t OtherPicture = 0;
    static constexpr uint8_t FrontCover = 3;
    static constexpr uint8_t LastPictureType = 20;

    TagLib::PropertyMap fields;
    // In the input's order; names in the input's letter case (a Vorbis comment's in upper case).
    std::vector<FreeField> freeFields;
    // In the input's order. A format that holds several writes them all, one that holds a single
    // picture writes MainPicture().
    std::vector<Picture> pictures;
    // The input also carried an ID3v1 tag, so an MP3 output gets one too.
    bool id3v1 = false;

    bool Empty() const { return fields.isEmpty() && freeFields.empty() && pictures.empty(); }

    // The front cover, or else the first picture; null without pictures.
    const Picture* MainPicture() const {
        for (const Picture& picture : pictures) {
            if (picture.type == FrontCover) {
                return &picture;
            }
        }
        return pictures.empty() ? nullptr : &pictures.front();
    }
};

// Text values (and free-form field names, picture MIME types and descriptions) longer than this
// many characters are left behind rather than copied, and so are values past the count of a field
// and free-form fields past theirs.
inline constexpr unsigned int MaxTextLength = 64 * 1024;
inline constexpr unsigned int MaxValuesPerField = 32;
inline constexpr unsigned int MaxFreeFields = 256;
// Pictures above this size are left behind, and so are those past the count or the total.
inline constexpr unsigned int MaxPictureBytes = 16 * 1024 * 1024;
inline constexpr unsigned int MaxPictures = 32;
inline constexpr unsigned int MaxPictureTotalBytes = 64 * 1024 * 1024;

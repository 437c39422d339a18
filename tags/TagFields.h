#pragma once
// The text fields carried across formats, one row each: TagLib's property name, the RIFF INFO
// field that holds it (if any), the ASF attribute FFmpeg or taggers write it under where TagLib's
// own mapping does not look (if any), and another name a Vorbis comment or an ID3v2 "TXXX" frame
// may give it (if any). The other names are read, never written.
#include <array>

#include <taglib/tpropertymap.h>

namespace TagLib {
namespace ASF {
class Tag;
}
namespace RIFF::Info {
class Tag;
}
} // namespace TagLib

struct TagField {
    const char* property;
    const char* infoId;
    const char* asfAlias;
    const char* otherName;
};

// The totals go with the numbers as NumberPairs.h tells.
inline constexpr std::array<TagField, 12> TagFields = {{
    {"TITLE", "INAM", "title", nullptr},
    {"ARTIST", "IART", "Author", nullptr},
    {"ALBUM", "IPRD", nullptr, nullptr},
    {"ALBUMARTIST", nullptr, nullptr, nullptr},
    {"TRACKNUMBER", "IPRT", nullptr, nullptr},
    {"TRACKTOTAL", nullptr, "TotalTracks", "TOTALTRACKS"},
    {"DISCNUMBER", nullptr, nullptr, nullptr},
    {"DISCTOTAL", nullptr, "TotalDiscs", "TOTALDISCS"},
    {"DATE", "ICRD", "date", nullptr},
    {"GENRE", "IGNR", nullptr, nullptr},
    {"COMMENT", "ICMT", "Description", nullptr},
    // ID3v2 "TCOM", MP4 "\xa9wrt", ASF "WM/Composer" under TagLib's own mapping; INFO has none.
    {"COMPOSER", nullptr, nullptr, nullptr},
}};

// values less the empty ones, those over 65536 characters and those past the 32nd, which bounds
// what a hostile input can make us write.
TagLib::StringList BoundedValues(const TagLib::StringList& values);

// True when name, in any letter case, is a property of the table or another name of one.
bool IsTagField(const TagLib::String& name);

// The carried fields of all, their values bounded; a field absent under its property is taken
// under its other name.
TagLib::PropertyMap CarriedFields(const TagLib::PropertyMap& all);

// Adds the fields of extra that fields lacks.
void AddMissingFields(TagLib::PropertyMap& fields, const TagLib::PropertyMap& extra);

// The carried fields of a RIFF INFO tag, and writing them into one (several values of a field
// are joined with "; ", INFO holds one text per field).
TagLib::PropertyMap ReadInfoFields(const TagLib::RIFF::Info::Tag& tag);
void WriteInfoFields(TagLib::RIFF::Info::Tag& tag, const TagLib::PropertyMap& fields);

// The carried fields an ASF tag holds under the names of the table that TagLib's own mapping
// leaves aside: an alias, the property (FFmpeg writes a Vorbis comment's "TRACKTOTAL" so) or the
// other name.
TagLib::PropertyMap ReadAsfAliasFields(const TagLib::ASF::Tag& tag);

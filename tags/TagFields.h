#pragma once
// The text fields carried across formats, one row each: TagLib's property name, the RIFF INFO
// field that holds it (if any), and the ASF attribute FFmpeg writes it under where TagLib's own
// mapping does not look (if any).
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
};

inline constexpr std::array<TagField, 9> TagFields = {{
    {"TITLE", "INAM", "title"},
    {"ARTIST", "IART", "Author"},
    {"ALBUM", "IPRD", nullptr},
    {"ALBUMARTIST", nullptr, nullptr},
    {"TRACKNUMBER", "IPRT", nullptr},
    {"DISCNUMBER", nullptr, nullptr},
    {"DATE", "ICRD", "date"},
    {"GENRE", "IGNR", nullptr},
    {"COMMENT", "ICMT", "Description"},
}};

// values less the empty ones, those over 65536 characters and those past the 32nd, which bounds
// what a hostile input can make us write.
TagLib::StringList BoundedValues(const TagLib::StringList& values);

// True when name, in any letter case, is a property of the table.
bool IsTagField(const TagLib::String& name);

// The carried fields of all, their values bounded.
TagLib::PropertyMap CarriedFields(const TagLib::PropertyMap& all);

// Adds the fields of extra that fields lacks.
void AddMissingFields(TagLib::PropertyMap& fields, const TagLib::PropertyMap& extra);

// The carried fields of a RIFF INFO tag, and writing them into one (several values of a field
// are joined with "; ", INFO holds one text per field).
TagLib::PropertyMap ReadInfoFields(const TagLib::RIFF::Info::Tag& tag);
void WriteInfoFields(TagLib::RIFF::Info::Tag& tag, const TagLib::PropertyMap& fields);

// The carried fields an ASF tag holds under the aliases of the table.
TagLib::PropertyMap ReadAsfAliasFields(const TagLib::ASF::Tag& tag);

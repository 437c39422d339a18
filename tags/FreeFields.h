#pragma once
// Free-form fields on their way between the formats' own records and the carried ones. A field of
// the table (TagFields.h) is carried as such and never also as a free-form one; fields that say
// how the input was encoded, or that hold pictures, stay behind: the output has its own.
#include <vector>

#include <taglib/tpropertymap.h>

#include "tags/AudioTags.h"

using FreeFields = std::vector<AudioTags::FreeField>;

// Adds values under name, to the field of that very name if there is one, unless such a field is
// not carried. Values are bounded as the table's are (BoundedValues), and so is the count of
// fields (MaxFreeFields).
void CarryFreeField(FreeFields& fields, const TagLib::String& name,
                    const TagLib::StringList& values);

// Each property of all, as a Vorbis comment's fields are.
void CarryFreeFields(FreeFields& fields, const TagLib::PropertyMap& all);

// fields with the free-form ones added, under their names in upper case as property names are.
TagLib::PropertyMap WithFreeFields(const TagLib::PropertyMap& fields, const FreeFields& free);

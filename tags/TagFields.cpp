#include "tags/TagFields.h"

#include <taglib/asftag.h>
#include <taglib/infotag.h>

#include "tags/AudioTags.h"

TagLib::StringList BoundedValues(const TagLib::StringList& values) {
    TagLib::StringList kept;
    for (const TagLib::String& value : values) {
        if (kept.size() == MaxValuesPerField) {
            break;
        }
        if (!value.isEmpty() && value.size() <= MaxTextLength) {
            kept.append(value);
        }
    }
    return kept;
}

bool IsTagField(const TagLib::String& name) {
    const TagLib::String upper = name.upper();
    for (const TagField& field : TagFields) {
        if (upper == field.property || (field.otherName && upper == field.otherName)) {
            return true;
        }
    }
    return false;
}

namespace {
void Put(TagLib::PropertyMap& fields, const char* property, const TagLib::StringList& values) {
    const TagLib::StringList kept = BoundedValues(values);
    if (!kept.isEmpty()) {
        fields.replace(property, kept);
    }
}
} // namespace

TagLib::PropertyMap CarriedFields(const TagLib::PropertyMap& all) {
    TagLib::PropertyMap fields;
    for (const TagField& field : TagFields) {
        if (all.contains(field.property)) {
            Put(fields, field.property, all[field.property]);
        } else if (field.otherName && all.contains(field.otherName)) {
            Put(fields, field.property, all[field.otherName]);
        }
    }
    return fields;
}

void AddMissingFields(TagLib::PropertyMap& fields, const TagLib::PropertyMap& extra) {
    for (const auto& [property, values] : extra) {
        if (!fields.contains(property)) {
            fields.insert(property, values);
        }
    }
}

TagLib::PropertyMap ReadInfoFields(const TagLib::RIFF::Info::Tag& tag) {
    TagLib::PropertyMap fields;
    for (const TagField& field : TagFields) {
        if (field.infoId) {
            Put(fields, field.property, TagLib::StringList(tag.fieldText(field.infoId)));
        }
    }
    return fields;
}

void WriteInfoFields(TagLib::RIFF::Info::Tag& tag, const TagLib::PropertyMap& fields) {
    for (const TagField& field : TagFields) {
        if (field.infoId && fields.contains(field.property)) {
            tag.setFieldText(field.infoId, fields[field.property].toString("; "));
        }
    }
}

TagLib::PropertyMap ReadAsfAliasFields(const TagLib::ASF::Tag& tag) {
    TagLib::PropertyMap fields;
    for (const TagField& field : TagFields) {
        TagLib::StringList values;
        for (const char* name : {field.asfAlias, field.property, field.otherName}) {
            if (!name) {
                continue;
            }
            for (const TagLib::ASF::Attribute& attribute : tag.attribute(name)) {
                values.append(attribute.toString());
            }
        }
        Put(fields, field.property, values);
    }
    return fields;
}

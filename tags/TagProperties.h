#pragma once
// Carried fields set into a tag: each one replaces the tag's values of that field, the tag's
// other fields stay. A template, so that each tag type's own property mapping is the one called.
#include <taglib/tpropertymap.h>

template <typename TagType> void SetCarriedFields(TagType& tag, const TagLib::PropertyMap& fields) {
    TagLib::PropertyMap all = tag.properties();
    for (const auto& [property, values] : fields) {
        all.replace(property, values);
    }
    tag.setProperties(all);
}

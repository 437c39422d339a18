#include "tags/FreeFields.h"

#include <algorithm>

#include "tags/TagFields.h"

using namespace TagLib;

namespace {
// Fields that name the program that encoded a file or describe its encoding (an MP4 file's
// gapless atom), and those that hold pictures, in any letter case.
constexpr const char* LeftBehind[] = {
    "ENCODER",  "WM/EncodingSettings",    "WMFSDKVersion", "WMFSDKNeeded",
    "iTunSMPB", "METADATA_BLOCK_PICTURE", "COVERART",      "WM/Picture"};

bool IsCarried(const String& name) {
    const String upper = name.upper();
    return !name.isEmpty() && name.size() <= MaxTextLength && !IsTagField(upper) &&
           std::none_of(std::begin(LeftBehind), std::end(LeftBehind),
                        [&upper](const char* left) { return upper == String(left).upper(); });
}
} // namespace

void CarryFreeField(FreeFields& fields, const String& name, const StringList& values) {
    if (!IsCarried(name)) {
        return;
    }
    const auto same =
        std::find_if(fields.begin(), fields.end(),
                     [&name](const AudioTags::FreeField& f) { return f.name == name; });
    if (same != fields.end()) {
        StringList all = same->values;
        same->values = BoundedValues(all.append(values));
        return;
    }
    const StringList kept = BoundedValues(values);
    if (!kept.isEmpty() && fields.size() < MaxFreeFields) {
        fields.push_back({name, kept});
    }
}

void CarryFreeFields(FreeFields& fields, const PropertyMap& all) {
    for (const auto& [name, values] : all) {
        CarryFreeField(fields, name, values);
    }
}

PropertyMap WithFreeFields(const PropertyMap& fields, const FreeFields& free) {
    PropertyMap all = fields;
    for (const AudioTags::FreeField& field : free) {
        all.insert(field.name, field.values); // a second field of a name in other letters adds
    }
    return all;
}

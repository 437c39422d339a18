#include "selector/ShownTypes.h"

void ShownTypes::Set(ShownFileType type, bool shown) {
    if (type < shown_.size()) {
        shown_[type] = shown;
    }
}

bool ShownTypes::Get(ShownFileType type) const {
    return type < shown_.size() && shown_[type];
}

bool ShownTypes::Shows(std::string_view ext) const {
    const auto type = AudioFileTypeOf(ext);
    return type && Get(*type);
}

#include "selector/ShownTypes.h"

void ShownTypes::Set(ShownFileType type, bool shown) {
    if (type < hidden_.size()) {
        hidden_[type] = !shown;
    }
}

bool ShownTypes::Get(ShownFileType type) const {
    return type < hidden_.size() && !hidden_[type];
}

bool ShownTypes::Shows(std::string_view ext) const {
    const auto type = ShownFileTypeOf(ext);
    return type && Get(*type);
}

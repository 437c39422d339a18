#include "engine/StreamFileTypes.h"

#include <strings.h>

const StreamFileType* FindStreamFileType(std::string_view extension) {
    for (const StreamFileType& type : StreamFileTypes) {
        if (type.Extension.size() == extension.size() &&
            strncasecmp(type.Extension.data(), extension.data(), extension.size()) == 0)
            return &type;
    }
    return nullptr;
}

const StreamFileType* FindStreamFileType(uint8_t target) {
    for (const StreamFileType& type : StreamFileTypes) {
        if (type.Target == target)
            return &type;
    }
    return nullptr;
}

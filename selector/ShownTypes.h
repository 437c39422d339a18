#pragma once
// Which audio types the selector lists, and collects from marked folders: the "Convert [From]"
// check boxes. All start shown. Files ticked one by one are collected whatever their type.
#include <array>
#include <string_view>

#include "system/FileTypes.h"

class ShownTypes {
public:
    void Set(ShownFileType type, bool shown);
    bool Get(ShownFileType type) const;
    // True when ext is the extension of a type that is shown.
    bool Shows(std::string_view ext) const;

private:
    std::array<bool, ShownFileTypeCount> shown_{true, true, true};
};

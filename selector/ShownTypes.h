#pragma once
// Which audio types the selector lists, and collects from marked folders: the "Convert [From]"
// check boxes. All start shown. Files ticked one by one are collected whatever their type.
#include <bitset>
#include <string_view>

#include "system/FileTypes.h"

class ShownTypes {
public:
    void Set(ShownFileType type, bool shown);
    bool Get(ShownFileType type) const;
    // True when ext is the extension of a type that is shown.
    bool Shows(std::string_view ext) const;

private:
    // Types are shown unless hidden; room for more types than the format table will hold.
    static constexpr std::size_t MostTypes = 64;
    std::bitset<MostTypes> hidden_;
};

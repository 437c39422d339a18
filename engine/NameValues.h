#pragma once
// What a naming pattern is filled from for one input: its tags under TagLib's property names (as
// tags/TagFields.h lists them, first value of each), its name without folder or extension, and its
// folder relative to the folder the user marked or gave.
#include <map>
#include <string>

struct NameValues {
    std::map<std::string, std::string, std::less<>> tags;
    std::string baseName;
    std::string folder;
};

#pragma once
// What a naming pattern fills each input's name from (NameValues.h), for many inputs at once: the
// tags are read on every processor core, since a library's job reads thousands of files before
// it starts. Results in input order; a file that cannot be read has no tags.
#include <string>
#include <vector>

#include "engine/NameValues.h"

// folders: per input, the folder {folder} gives ("" or "a/b/"). withTags: read the tags too.
std::vector<NameValues> ReadNameValues(const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& folders, bool withTags);

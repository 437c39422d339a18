#pragma once
// A row's part of its input as text fields, after the "file" message's own: its start, its end
// (empty for none), how many of them make a second, then a name and a value for each of its tags.
#include <optional>
#include <string>
#include <vector>

#include "engine/RowPart.h"

void AppendPartFields(const RowPart& part, std::vector<std::string>& fields);
// The part of fields made by AppendPartFields; none when they are not such fields.
std::optional<RowPart> PartFromFields(std::vector<std::string>::const_iterator begin,
                                      std::vector<std::string>::const_iterator end);

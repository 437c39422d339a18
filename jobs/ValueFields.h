#pragma once
// A row's measured values as text fields, a name and then its value for each, as a worker
// process sends them after the outcome of its "done" message. The text gives back the very same
// double.
#include <string>
#include <vector>

#include "engine/RowValues.h"

void AppendValueFields(const RowValues& values, std::vector<std::string>& fields);
// The values of fields made by AppendValueFields; a pair whose value is no number is left out.
RowValues ValuesFromFields(std::vector<std::string>::const_iterator begin,
                           std::vector<std::string>::const_iterator end);

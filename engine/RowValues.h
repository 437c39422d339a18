#pragma once
// Numbers measured on one row's audio by its observer (a loudness, a peak), by name. They travel
// with the row's outcome, from a worker process too, to whoever runs the job.
#include <functional>
#include <map>
#include <string>

using RowValues = std::map<std::string, double, std::less<>>;

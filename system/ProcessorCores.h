#pragma once
// How many processor cores this process may run on (its affinity), at least 1.
#include <cstddef>

std::size_t ProcessorCores();

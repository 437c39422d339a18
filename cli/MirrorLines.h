#pragma once
// The lines a mirror run prints: one per item, and the counts of each action and the failures.
#include <array>
#include <cstddef>
#include <string>

#include "mirror/MirrorPlan.h"

// "convert<sep>source<sep>output", and the reason or the old name where there is one.
std::string MirrorItemLine(const MirrorPlan& plan, const MirrorItem& item, char separator);
// "2 convert, 0 retag, ..., 5 skip, 0 failed"
std::string MirrorCountsLine(const std::array<std::size_t, 8>& counts, std::size_t failed);

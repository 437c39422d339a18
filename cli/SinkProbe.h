#pragma once
// Whether this build can write a target format at all, found out by setting up that format's
// output once in a scratch folder, so the answer follows whatever sinks and codec modules exist.
#include <cstdint>

// Uses and restores Settings().OutputPath; the target's encoder fields must already be set.
bool CanWriteTarget(uint8_t target);

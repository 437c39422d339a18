#pragma once
// Decodes a file through the program's own source for a format, showing its audio to an
// observer and writing nothing: for checking what a conversion wrote, and for the digests of
// files already in place.
#include <optional>
#include <string>
#include <string_view>

#include "engine/AudioObserver.h"
#include "engine/JobEnvironment.h"

// The file at path, read as a file of extension (path may be a /proc/self/fd link, which has
// none), and what observer put at the end; nullopt when no source reads that type or the file
// could not be decoded to its end.
std::optional<RowValues> DecodeToObserver(const std::string& path, std::string_view extension,
                                          const JobEnvironment& environment,
                                          AudioObserver& observer);

#pragma once
// The digest of a file's bytes as they are now: what an output held when it was written, and
// whether it still does before it may be deleted.
#include <optional>
#include <string>

#include "mirror/Digest.h"

// nullopt when the file cannot be read to its end (or is no regular file).
std::optional<Digest> FileDigest(const std::string& path);

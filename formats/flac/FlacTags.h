#pragma once
// The carried tags in a FLAC file: a Vorbis comment, pictures in blocks of their own.
#include "tags/TagFormat.h"

extern const TagFormat FlacTags;

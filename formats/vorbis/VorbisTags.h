#pragma once
// The carried tags in an Ogg Vorbis file: a Vorbis comment with the pictures in it.
#include "tags/TagFormat.h"

extern const TagFormat VorbisTags;

#pragma once
// The carried tags in a WAVE file: an ID3v2 tag in an "id3 " chunk and a RIFF INFO list,
// both after the audio (read: ID3v2 first, then INFO for the fields it lacks).
#include "tags/TagFormat.h"

extern const TagFormat WaveTags;

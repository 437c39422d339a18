#pragma once
// The carried tags in an MP3 file: ID3v2.4, and ID3v1 where the input had one. MPEG audio
// has no fixed header: files no other family claims are tried as MP3.
#include "tags/TagFormat.h"

extern const TagFormat Mp3Tags;

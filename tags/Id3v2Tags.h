#pragma once
// The carried tags in an ID3v2 tag, as MP3 files hold it and WAVE files in their "id3 " chunk.
#include <taglib/id3v2tag.h>

#include "tags/AudioTags.h"

void ReadId3v2(const TagLib::ID3v2::Tag& tag, AudioTags& tags);
void SetId3v2(TagLib::ID3v2::Tag& tag, const AudioTags& tags);

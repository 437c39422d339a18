#pragma once
// The carried tags in MP4 atoms: the text fields through TagLib's property names (several artists
// as several values of one atom), track and disc numbers as 16-bit numbers, free-form fields as
// iTunes freeform atoms, and every picture in "covr", the front cover first. MP4 pictures hold no
// type or description: the first read back is taken for the front cover.
#include "tags/AudioTags.h"
#include "tags/TagFormat.h"

namespace TagLib {
class IOStream;
}

AudioTags ReadMp4Tags(TagLib::IOStream& stream);
// False when TagLib refused the file or the save.
bool WriteMp4Tags(TagLib::IOStream& stream, const AudioTags& tags);

extern const TagFormat Mp4Tags;

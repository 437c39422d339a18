#include "formats/opus/OpusTags.h"

#include <taglib/opusfile.h>

#include "tags/XiphTags.h"

namespace {
// An Ogg file's first page holds one packet, which names the codec, from byte 28.
bool Claims(const TagLib::ByteVector& head) {
    return head.startsWith("OggS") && head.containsAt("OpusHead", 28);
}
} // namespace

const TagFormat OpusTags = {Claims, ReadOggTags<TagLib::Ogg::Opus::File>,
                            WriteOggTags<TagLib::Ogg::Opus::File>};

#include "formats/vorbis/VorbisTags.h"

#include <taglib/vorbisfile.h>

#include "tags/XiphTags.h"

namespace {
// An Ogg file's first page holds one packet, which names the codec, from byte 28.
bool Claims(const TagLib::ByteVector& head) {
    return head.startsWith("OggS") && head.containsAt("\x01vorbis", 28);
}
} // namespace

const TagFormat VorbisTags = {Claims, ReadOggTags<TagLib::Ogg::Vorbis::File>,
                              WriteOggTags<TagLib::Ogg::Vorbis::File>};

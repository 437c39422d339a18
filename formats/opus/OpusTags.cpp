#include "formats/opus/OpusTags.h"

#include <taglib/opusfile.h>

#include "tags/XiphTags.h"

namespace {
// An Ogg file's first page holds one packet, which names the codec, from byte 28.
bool Claims(const TagLib::ByteVector& head) {
    return head.startsWith("OggS") && head.containsAt("OpusHead", 28);
}
} // namespace

// RFC 7845 asks Opus files for R128 gains instead of ReplayGain's fields.
const TagFormat OpusTags = {Claims, ReadOggTags<TagLib::Ogg::Opus::File>,
                            WriteOggTags<TagLib::Ogg::Opus::File>, GainForm::R128};

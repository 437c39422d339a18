#include "formats/wave/WaveTags.h"

#include <cstdint>

#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include "tags/Id3v2Tags.h"
#include "tags/NumberPairs.h"
#include "tags/TagFields.h"

using namespace TagLib;

namespace {
bool Claims(const ByteVector& head) {
    return head.startsWith("RIFF") && head.containsAt("WAVE", 8);
}

AudioTags Read(IOStream& stream) {
    RIFF::WAV::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasID3v2Tag()) {
        ReadId3v2(*file.ID3v2Tag(), tags);
    }
    if (file.hasInfoTag()) {
        AddMissingFields(tags.fields, ReadInfoFields(*file.InfoTag()));
    }
    return tags;
}

// At most what a text takes in a tag, in UTF-8 or UTF-16 with its frame's header.
uint64_t TextBytesBound(const String& text) {
    return 4 * uint64_t{text.size()} + 16;
}

// At most what the tags take in a WAVE file, as an INFO list and an ID3v2 chunk.
uint64_t TagBytesBound(const AudioTags& tags) {
    constexpr uint64_t Overhead = 4096;
    uint64_t bytes = Overhead;
    for (const AudioTags::Picture& picture : tags.pictures) {
        bytes += picture.data.size() + TextBytesBound(picture.mimeType) +
                 TextBytesBound(picture.description);
    }
    for (const auto& [property, values] : tags.fields) {
        for (const String& value : values) {
            bytes += 2 * TextBytesBound(value); // in both tags
        }
    }
    for (const AudioTags::FreeField& field : tags.freeFields) {
        bytes += TextBytesBound(field.name); // in the ID3v2 tag only
        for (const String& value : field.values) {
            bytes += TextBytesBound(value);
        }
    }
    return bytes;
}

bool Write(IOStream& stream, const AudioTags& tags) {
    // RIFF sizes are 32-bit numbers: a file that the tags could push past them stays untagged.
    constexpr uint64_t RiffLimit = 0xFFFFFFFF;
    if (static_cast<uint64_t>(stream.length()) + TagBytesBound(tags) > RiffLimit) {
        return false;
    }
    RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return false;
    }
    SetId3v2(*file.ID3v2Tag(), tags);
    WriteInfoFields(*file.InfoTag(), JoinedNumberPairs(tags.fields)); // "IPRT" as ID3's "TRCK"
    return file.save(RIFF::WAV::File::AllTags, File::StripNone, ID3v2::v4);
}
} // namespace

const TagFormat WaveTags = {Claims, Read, Write};

#include "cue/CueTrack.h"

RowPart CueTrack::Part() const {
    RowPart part{start, end, {}, perSecond};
    for (const auto& [name, values] : tags.fields) {
        for (const TagLib::String& value : values) {
            part.Tags.emplace_back(name.to8Bit(true), value.to8Bit(true));
        }
    }
    for (const AudioTags::FreeField& field : tags.freeFields) {
        for (const TagLib::String& value : field.values) {
            part.Tags.emplace_back(field.name.to8Bit(true), value.to8Bit(true));
        }
    }
    return part;
}

#include "formats/flac/FlacCueBlock.h"

#include <FLAC/metadata.h>
#include <cstring>
#include <memory>
#include <string_view>

namespace {
struct FreeMetadata {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using MetadataHandle = std::unique_ptr<FLAC__StreamMetadata, FreeMetadata>;

// A CD's lead-out is track 170, any other stream's 255: it ends the audio and is no track.
bool IsLeadOut(const FLAC__StreamMetadata_CueSheet_Track& track) {
    return track.number == 170 || track.number == 255;
}

FlacCueBlock::Track TrackOf(const FLAC__StreamMetadata_CueSheet_Track& track) {
    FlacCueBlock::Track result;
    result.number = track.number;
    result.isrc = std::string(track.isrc, strnlen(track.isrc, sizeof track.isrc));
    for (unsigned i = 0; i < track.num_indices; ++i) {
        const FLAC__StreamMetadata_CueSheet_Index& index = track.indices[i];
        if (!result.start || index.number == 1) {
            result.start = track.offset + index.offset;
        }
        if (index.number == 1) {
            break;
        }
    }
    return result;
}

std::string SheetComment(const char* path) {
    FLAC__StreamMetadata* read = nullptr;
    if (!FLAC__metadata_get_tags(path, &read)) {
        return {};
    }
    const MetadataHandle tags(read);
    const int entry =
        FLAC__metadata_object_vorbiscomment_find_entry_from(tags.get(), 0, "CUESHEET");
    if (entry < 0) {
        return {};
    }
    const FLAC__StreamMetadata_VorbisComment_Entry& comment =
        tags->data.vorbis_comment.comments[entry];
    const std::string_view text(reinterpret_cast<const char*>(comment.entry), comment.length);
    return std::string(text.substr(text.find('=') + 1));
}
} // namespace

std::optional<FlacCueBlock> ReadFlacCueBlock(const std::string& path) {
    FLAC__StreamMetadata info;
    if (!FLAC__metadata_get_streaminfo(path.c_str(), &info)) {
        return std::nullopt;
    }
    FlacCueBlock block;
    block.rate = info.data.stream_info.sample_rate;
    block.frames = info.data.stream_info.total_samples;
    FLAC__StreamMetadata* read = nullptr;
    if (FLAC__metadata_get_cuesheet(path.c_str(), &read)) {
        const MetadataHandle sheet(read);
        const FLAC__StreamMetadata_CueSheet& cue = sheet->data.cue_sheet;
        for (unsigned i = 0; i < cue.num_tracks; ++i) {
            if (!IsLeadOut(cue.tracks[i])) {
                block.tracks.push_back(TrackOf(cue.tracks[i]));
            }
        }
    }
    if (block.tracks.empty()) {
        block.sheetText = SheetComment(path.c_str());
    }
    return block;
}

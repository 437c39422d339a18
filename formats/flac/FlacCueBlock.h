#pragma once
// The cue sheet a FLAC file holds: its cue-sheet metadata block, whose places count sample frames
// exactly, and the text of a CUESHEET comment, which some rippers write instead.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FlacCueBlock {
    struct Track {
        // As the block numbers it; the lead-out is left out.
        unsigned number = 0;
        // The sample frame of its INDEX 01 (of its first index when it has none), or none when
        // it has no index at all.
        std::optional<uint64_t> start;
        std::string isrc;
    };
    uint32_t rate = 0;
    // 0 when the stream does not tell its length.
    uint64_t frames = 0;
    // Empty when the file has no block.
    std::vector<Track> tracks;
    // The CUESHEET comment's text, read only when there are no tracks.
    std::string sheetText;
};

// None when path is no FLAC file that can be read.
std::optional<FlacCueBlock> ReadFlacCueBlock(const std::string& path);

#pragma once
// What one track's boxes say about its samples: how many the time-to-sample table (stts) times
// and over how long, how many the sample size table (stsz or stz2) lists, and the media header's
// (mdhd) duration. FFmpeg keeps none of them as the file gives them, and decodes a track whose
// tables disagree to a fraction of its audio, with no error.
#include <cstdint>
#include <optional>

extern "C" {
#include <libavformat/avio.h>
}

class Mp4SampleTable {
public:
    // The table of the track with this ID, read through io (whose position is kept); nullopt when
    // its boxes are not where a plain movie header has them.
    static std::optional<Mp4SampleTable> Read(AVIOContext* io, int trackId);

    // Whether the tables list the same samples and they last the media's duration.
    bool Agrees() const;

private:
    struct Box {
        int64_t body = 0; // where the contents start
        int64_t end = 0;
    };

    Mp4SampleTable() = default;
    // The first box of that type among those from `from` to `end`.
    static std::optional<Box> Find(AVIOContext* io, int64_t from, int64_t end, uint32_t type);
    static std::optional<Box> Child(AVIOContext* io, const std::optional<Box>& parent,
                                    uint32_t type);
    static std::optional<Box> TrackWithId(AVIOContext* io, const Box& movie, int trackId);
    bool ReadTables(AVIOContext* io, const Box& media);
    void ReadMediaDuration(AVIOContext* io, const Box& header);
    void ReadTiming(AVIOContext* io, const Box& timing);

    uint64_t timedSamples_ = 0;
    uint64_t timedDuration_ = 0;
    // False when the time-to-sample table holds fewer entries than it counts, or its sums overflow.
    bool timingWhole_ = true;
    uint64_t sizedSamples_ = 0;
    std::optional<uint64_t> mediaDuration_; // none when the header leaves it unknown
};

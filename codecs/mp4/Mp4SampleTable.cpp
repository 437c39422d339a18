#include "codecs/mp4/Mp4SampleTable.h"

#include <cstdio>

namespace {
constexpr uint32_t Type(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 |
           uint32_t(uint8_t(name[2])) << 8 | uint32_t(uint8_t(name[3]));
}

// Runs f with io's position put back afterwards.
template <typename F> auto KeepingPosition(AVIOContext* io, F f) {
    const int64_t at = avio_tell(io);
    auto result = f();
    avio_seek(io, at, SEEK_SET);
    return result;
}
} // namespace

std::optional<Mp4SampleTable> Mp4SampleTable::Read(AVIOContext* io, int trackId) {
    if (io == nullptr)
        return std::nullopt;
    return KeepingPosition(io, [&]() -> std::optional<Mp4SampleTable> {
        const int64_t size = avio_size(io);
        const std::optional<Box> movie = Find(io, 0, size > 0 ? size : INT64_MAX, Type("moov"));
        const std::optional<Box> track = movie ? TrackWithId(io, *movie, trackId) : std::nullopt;
        const std::optional<Box> media = Child(io, track, Type("mdia"));
        Mp4SampleTable table;
        if (!media || !table.ReadTables(io, *media))
            return std::nullopt;
        return table;
    });
}

bool Mp4SampleTable::Agrees() const {
    // A fragmented file lists its samples in the fragments, and its duration with them.
    const bool durationAgrees =
        !mediaDuration_ || sizedSamples_ == 0 || *mediaDuration_ == timedDuration_;
    return timingWhole_ && timedSamples_ == sizedSamples_ && durationAgrees;
}

std::optional<Mp4SampleTable::Box> Mp4SampleTable::Find(AVIOContext* io, int64_t from, int64_t end,
                                                        uint32_t type) {
    for (int64_t at = from; at <= end - 8;) {
        if (avio_seek(io, at, SEEK_SET) != at)
            return std::nullopt;
        uint64_t size = avio_rb32(io);
        const uint32_t found = avio_rb32(io);
        int64_t body = at + 8;
        if (size == 1) {
            size = avio_rb64(io);
            body += 8;
        } else if (size == 0) {
            size = static_cast<uint64_t>(end - at); // to the end of what holds it
        }
        if (avio_feof(io) || size < static_cast<uint64_t>(body - at) ||
            size > static_cast<uint64_t>(end - at))
            return std::nullopt;
        if (found == type)
            return Box{body, at + static_cast<int64_t>(size)};
        at += static_cast<int64_t>(size);
    }
    return std::nullopt;
}

std::optional<Mp4SampleTable::Box>
Mp4SampleTable::Child(AVIOContext* io, const std::optional<Box>& parent, uint32_t type) {
    return parent ? Find(io, parent->body, parent->end, type) : std::nullopt;
}

std::optional<Mp4SampleTable::Box> Mp4SampleTable::TrackWithId(AVIOContext* io, const Box& movie,
                                                               int trackId) {
    for (int64_t at = movie.body;;) {
        const std::optional<Box> track = Find(io, at, movie.end, Type("trak"));
        const std::optional<Box> header = Child(io, track, Type("tkhd"));
        if (!header)
            return std::nullopt;
        avio_seek(io, header->body, SEEK_SET);
        const int version = avio_r8(io);
        avio_skip(io, version == 1 ? 3 + 16 : 3 + 8); // flags, creation and modification times
        if (static_cast<int64_t>(avio_rb32(io)) == trackId)
            return track;
        at = track->end;
    }
}

bool Mp4SampleTable::ReadTables(AVIOContext* io, const Box& media) {
    const std::optional<Box> header = Child(io, media, Type("mdhd"));
    const std::optional<Box> samples = Child(io, Child(io, media, Type("minf")), Type("stbl"));
    const std::optional<Box> timing = Child(io, samples, Type("stts"));
    std::optional<Box> sizes = Child(io, samples, Type("stsz"));
    if (!sizes)
        sizes = Child(io, samples, Type("stz2"));
    if (!header || !timing || !sizes || sizes->end - sizes->body < 12)
        return false;
    ReadMediaDuration(io, *header);
    ReadTiming(io, *timing);
    // Both size tables count their samples after the version, the flags and four more bytes.
    avio_seek(io, sizes->body + 8, SEEK_SET);
    sizedSamples_ = avio_rb32(io);
    return !avio_feof(io);
}

void Mp4SampleTable::ReadMediaDuration(AVIOContext* io, const Box& header) {
    avio_seek(io, header.body, SEEK_SET);
    const int version = avio_r8(io);
    // The flags, the creation and modification times, the time scale.
    avio_skip(io, version == 1 ? 3 + 16 + 4 : 3 + 8 + 4);
    const uint64_t duration = version == 1 ? avio_rb64(io) : avio_rb32(io);
    const uint64_t unknown = version == 1 ? UINT64_MAX : UINT32_MAX;
    if (duration != unknown)
        mediaDuration_ = duration;
}

void Mp4SampleTable::ReadTiming(AVIOContext* io, const Box& timing) {
    avio_seek(io, timing.body + 4, SEEK_SET);
    const uint64_t entries = avio_rb32(io);
    const int64_t room = timing.end - timing.body - 8;
    timingWhole_ = room >= 0 && entries <= static_cast<uint64_t>(room) / 8;
    for (uint64_t i = 0; timingWhole_ && i < entries; ++i) {
        const uint64_t count = avio_rb32(io);
        const uint64_t delta = avio_rb32(io);
        uint64_t duration = 0;
        timingWhole_ = !__builtin_mul_overflow(count, delta, &duration) &&
                       !__builtin_add_overflow(timedDuration_, duration, &timedDuration_) &&
                       !__builtin_add_overflow(timedSamples_, count, &timedSamples_);
    }
    timingWhole_ = timingWhole_ && !avio_feof(io);
}

#pragma once
// How one family of files keeps its tags: told by its first bytes, read and written through
// TagLib. Each format names its family (FormatInfo::Tags); formats of one container share one.
#include <cstdint>

#include "tags/AudioTags.h"

namespace TagLib {
class ByteVector;
class IOStream;
} // namespace TagLib

// How a family of files keeps ReplayGain: fields named as ReplayGain 2.0 names them (in lower
// case where the family's readers expect them so), or as RFC 7845 asks of Opus files.
enum class GainForm : uint8_t { ReplayGain, LowerCaseReplayGain, R128 };

struct TagFormat {
    // The first bytes of a file are read for this (up to HeadBytes, fewer in a short file).
    static constexpr unsigned int HeadBytes = 36;
    // True when head begins a file of this family. nullptr for the one family without a fixed
    // header (MPEG audio), which is taken when no other claims a file; TagLib then accepts or
    // refuses it.
    bool (*Claims)(const TagLib::ByteVector& head);
    // Unreadable or damaged tags read as fewer fields or none; never throws.
    AudioTags (*Read)(TagLib::IOStream& stream);
    // False when TagLib refused the file or the save; the stream may then hold a partial write.
    bool (*Write)(TagLib::IOStream& stream, const AudioTags& tags);
    GainForm Gain = GainForm::ReplayGain;
};

#pragma once
// An input's tags on their way to its output, when the job's settings ask for them. They are read
// before the finished output takes its place, since that place may be the input itself, and
// written into the finished output before it is linked in at its name, so that it appears whole
// with its tags or not at all. Never fails the file: tags that cannot be read or written are left
// behind, and the output keeps the bytes it had (see tags/CopyAudioTags.h). Covers are fitted as
// the settings ask (tags/CoverStep.h); a picture left out becomes a line of the row. The
// ReplayGain fields go in the target's form (tags/ReplayGainFields.h), with the loudness measured
// of the row when the settings ask for it, even where the other tags are not copied.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/RowValues.h"

struct AudioTags;
struct ConversionSettings;
struct RowPart;

class OutputTags {
public:
    // values: what the row's observers measured (engine/LoudnessValues.h). The tags of a part of
    // the input (a track of an album) go over the input's own, which fill what the part lacks.
    OutputTags(const std::string& input, const ConversionSettings& settings,
               const RowValues& values = {}, const RowPart* part = nullptr);
    ~OutputTags();
    OutputTags(const OutputTags&) = delete;
    OutputTags& operator=(const OutputTags&) = delete;

    // outputFd is the finished output, open read-write (an unnamed file serves) and the caller's.
    void WriteTo(int outputFd) const;
    // The lines for the pictures left out, for the errors list; the row is converted all the same.
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    void ReadTags(const std::string& input, const ConversionSettings& settings,
                  const RowPart* part);
    void PutGain(const ConversionSettings& settings, const RowValues& values);

    std::unique_ptr<AudioTags> tags_;
    uint8_t target_ = 0;
    std::vector<std::string> lines_;
};

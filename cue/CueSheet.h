#pragma once
// A cue sheet read into the tracks it plans: each track's audio file, its start and end, and its
// tags. Nothing is decoded here, so places are CD frames and become sample frames at the
// audio's rate (CueTrack), and a sheet that reaches past its audio is found by CheckLength once
// the audio's length is known.
//
// A track starts at its INDEX 01 and ends where the next track of its file starts, so the gap
// between a track's INDEX 00 and INDEX 01 ends the track before it; the first track of a file
// starts at the file's start, except that more than one second of audio before track 1 becomes
// a track 0 of its own. A PREGAP is silence the file does not hold: it adds nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cue/CueTrack.h"

struct FlacCueBlock;

// The extension of a cue sheet's file, in any letter case.
inline constexpr const char* CueSheetExtension = ".cue";

class CueSheet {
public:
    // Real sheets are a few kilobytes; a larger file is no sheet.
    static constexpr std::size_t MaxBytes = 1 << 20;

    // The sheet at sheetPath; charset names the character set of a text that is not UTF-8, or is
    // empty to have it recognised.
    static CueSheet Read(const std::string& sheetPath, const std::string& charset = {});
    // A sheet's bytes as read from sheetPath, whose folder holds the audio files it names.
    static CueSheet Parse(std::string_view bytes, const std::string& sheetPath,
                          const std::string& charset = {});
    // The text of a cue sheet stored in the tags of audioPath: every track is in that file.
    static CueSheet Embedded(std::string_view bytes, const std::string& audioPath,
                             const std::string& charset = {});
    // The tracks of a FLAC's cue-sheet block, placed in its sample frames; a block whose places
    // go backwards or past the audio's end, or with more than 99 tracks, fails.
    static CueSheet OfBlock(const FlacCueBlock& block, const std::string& audioPath);

    bool Failed() const { return !cause_.empty(); }
    // Why the sheet could not be read, for ErrorLine.
    const std::string& Cause() const { return cause_; }
    // The errors list's line: "Unable to read from '<sheet>': <cause>."
    std::string ErrorLine() const;
    // In the order of the sheet; empty when Failed().
    const std::vector<CueTrack>& Tracks() const { return tracks_; }

    // Fails the sheet when a track of audioPath starts at or past its end, which is frames long
    // at rate (Hz). False then.
    bool CheckLength(const std::string& audioPath, int64_t frames, int64_t rate);
    // CheckLength for each audio file whose header tells its length; the places in the others are
    // checked as they are converted.
    bool CheckLengths();

private:
    CueSheet(std::string path, std::string cause)
        : path_(std::move(path)), cause_(std::move(cause)) {}
    static CueSheet Plan(std::string_view bytes, const std::string& path,
                         const std::string& charset, const std::string& embeddedIn);
    void Fail(std::string cause);
    // Adds the number-th track, whose INDEX 01 in audio is start; hidden: the tags of a track 0
    // made of what lies before it, if any.
    void Place(const std::string& audio, unsigned number, int64_t start, AudioTags tags,
               const AudioTags& hidden);

    std::string path_;
    std::string cause_;
    std::vector<CueTrack> tracks_;
    // Each track's audio file and INDEX 01, which the first track of a file does not start at.
    std::vector<std::pair<std::string, int64_t>> starts_;
    // How many of the places make a second.
    int64_t perSecond_ = CdFramesPerSecond;
};

#pragma once
// A cue sheet as the selector lists and collects it: a row per track, each marked on its own
// under a key of its own, or one row for a sheet that cannot be read, whose conversion fails
// with the sheet's error line. Sheets are a few kilobytes, read where the list is read.
#include <optional>
#include <string>
#include <vector>

#include "engine/RowPart.h"

class SheetTracks {
public:
    struct Track {
        unsigned number = 0;
        std::string name;       // "03 - Title", as the output is named by default
        std::string lengthText; // "mm:ss"; empty when the audio's length is not known
        std::string audioPath;
        RowPart part;
    };

    explicit SheetTracks(const std::string& sheetPath);

    bool Failed() const { return !errorLine_.empty(); }
    // "Unable to read from '<sheet>': <cause>."
    const std::string& ErrorLine() const { return errorLine_; }
    // In the sheet's order; empty when Failed().
    const std::vector<Track>& Tracks() const { return tracks_; }
    // The track of that number, or null.
    const Track* Find(unsigned number) const;

    // A track is marked under its sheet's path, a NUL and its number: no file's path holds a NUL,
    // and the key stays in the sheet's folder for every test of folders.
    static std::string TrackKey(const std::string& sheetPath, unsigned number);
    // The sheet's path of a key, or the path itself when it is no track's key.
    static std::string SheetOfKey(const std::string& key);
    static std::optional<unsigned> TrackOfKey(const std::string& key);

private:
    std::string errorLine_;
    std::vector<Track> tracks_;
};

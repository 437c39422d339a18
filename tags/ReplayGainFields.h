#pragma once
// An output's ReplayGain among its free-form fields, in the form its family of files keeps it
// (TagFormat::Gain): "REPLAYGAIN_TRACK_GAIN" "-3.21 dB" and "REPLAYGAIN_TRACK_PEAK" "0.912345"
// (album alike), or, for Opus, "R128_TRACK_GAIN" "-2103": a Q7.8 number of dB relative to
// -23 LUFS, 5 dB below ReplayGain's reference of -18 LUFS, with no peak.
#include <optional>

#include "tags/FreeFields.h"
#include "tags/TagFormat.h"

// What was measured of an input, or of the album it belongs to.
struct TrackLoudness {
    double Loudness; // integrated, in LUFS; minus infinity for silence
    double Peak;     // the largest sample, linear
};

// Shapes fields, the input's, into form. A measured track (or album) replaces whatever the input
// held for it in either form (a silent one leaves no gain at all). What the input holds in the
// other form is turned into this one, unless this form's field is there too; a value that is no
// number is dropped, and so are peaks going into R128. The fields already in form that nothing
// replaces stay as they are.
void ShapeReplayGain(FreeFields& fields, GainForm form, const std::optional<TrackLoudness>& track,
                     const std::optional<TrackLoudness>& album = std::nullopt);

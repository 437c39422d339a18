#pragma once
// Decodes a file through the program's own source of its format, for the digest of its audio and
// its length, writing nothing.
#include <optional>
#include <string>

#include "engine/JobEnvironment.h"
#include "mirror/AudioDigestObserver.h"

using DecodedAudio = AudioDigestObserver::Result;

// nullopt when no source reads the file or it could not be decoded to its end.
std::optional<DecodedAudio> DecodeAudio(const std::string& path, const JobEnvironment& environment);
// The file's audio shown to observer, and what it put at the end; nullopt as above.
std::optional<RowValues> DecodeObserved(const std::string& path, const JobEnvironment& environment,
                                        AudioObserver& observer);

// An output found in place was made from this source: the same length, give or take what encoders
// add or drop at the ends (priming, padding to a whole frame), and what resampling rounds.
bool SameLength(const DecodedAudio& source, const DecodedAudio& output);

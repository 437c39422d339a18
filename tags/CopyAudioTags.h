#pragma once
// Carries the tags of an input over to its finished output, which is written by its format.
// Best effort: when the input has no tags nothing is touched; when they cannot be read or
// written the output stays exactly as it was. True when tags were written.
#include <string>

#include "tags/AudioFileKind.h"
#include "tags/AudioTags.h"

bool CopyAudioTags(const std::string& input, const std::string& output, AudioFileKind outputKind);
// The same with tags read before, for an output that takes the input's place.
bool CopyAudioTags(const AudioTags& tags, const std::string& output, AudioFileKind outputKind);

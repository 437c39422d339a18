#pragma once
// The audio file a FILE line of a cue sheet names. Sheets outlive their audio's format: an album
// ripped to WAVE and later compressed keeps "album.wav" in its sheet beside "album.flac", so a
// name that is not there is matched to a file of the same base name with any extension the
// program reads.
#include <string>

// The path of the file, or empty when there is none; name is taken relative to folder (with a
// trailing '/'), with Windows separators turned into '/'.
std::string FindCueAudioFile(const std::string& folder, std::string name);

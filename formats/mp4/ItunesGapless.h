#pragma once
// The "iTunSMPB" freeform atom of an MP4 file: where its audio lies among the decoded frames
// (priming first, padding last), the record players other than FFmpeg read for gapless playback.
#include <cstdint>
#include <string>

// The atom's text: twelve hexadecimal fields, each after a space.
std::string ItunesGaplessText(uint32_t priming, uint32_t padding, uint64_t length);

// Writes the atom into the MP4 file open read-write at fd (which stays the caller's), in place
// as tags are written; false when the file was left as it was.
bool WriteItunesGapless(int fd, uint32_t priming, uint32_t padding, uint64_t length);

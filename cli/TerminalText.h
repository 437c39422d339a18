#pragma once
// Text for a terminal: how many columns a UTF-8 line takes, and lines cut to fit without
// splitting a character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Columns the text takes: wide characters count two, combining marks none, and a byte that
// starts no valid character one.
std::size_t DisplayWidth(std::string_view text);
// The text if it fits in columns; else "..." and as much of its end as fits (the file name
// matters more than the folders above it).
std::string KeepEnd(std::string_view text, std::size_t columns);
// The text if it fits in columns; else as much of its start as fits.
std::string KeepStart(std::string_view text, std::size_t columns);

// "1:07" for 67 seconds, "1:02:05" from an hour on; "0:00" below zero.
std::string ShortDuration(int32_t seconds);

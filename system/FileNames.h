#pragma once
// Splitting and joining paths. None of these touches the file system. The separator is '/';
// extensions keep their letters as written (callers compare them without regard to case).
#include <string>
#include <string_view>

inline constexpr char PathSeparator = '/';

// From the last dot to the end, dot included, when that dot follows the last separator; else ".".
std::string GetFileExtension(std::string_view path);
// What follows the last separator; the whole path when it has none.
std::string GetFileNamePart(std::string_view path);
// The path cut at its last dot when that dot follows the last separator.
std::string RemoveExtension(std::string_view path);
// The path up to and including its last separator; the whole path when it has none.
std::string GetFolderPart(std::string_view path);
// Appends a separator unless the path is empty or already ends with one.
void WithTrailingSlash(std::string& path);
// The text with its ASCII letters in upper case; other bytes as they are (extensions compare
// this way, whatever the locale).
std::string UpperAscii(std::string_view text);

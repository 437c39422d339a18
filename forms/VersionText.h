#pragma once
// The version line of the about box: the major and minor numbers of the program's version as
// "%d  r%d" (two blanks before the r), so version 3.1.0 reads "3  r1".
#include <string>
#include <string_view>

// version: "major.minor" with anything after it (".patch", ".build"); each number 0 to 65535,
// as a version record holds them. text (when given) is emptied first, then receives the line.
// False, and no text, when the version does not start that way.
bool FormatVersionText(std::string_view version, std::string* text);
// The running program's version line; false when it carries no usable version.
bool GetVersionText(std::string* text);

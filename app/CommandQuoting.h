#pragma once
// Quoting a path for the places a desktop runs commands from. Each format has its own rules, so a
// path with spaces, quotes, '$', '%' or letters beyond ASCII reaches the program as one argument,
// unchanged.
#include <string>
#include <string_view>

// One argument for a POSIX shell: in single quotes, each ' written as '\''.
std::string ShellQuoted(std::string_view text);
// One argument of a desktop file's Exec key: in double quotes, with '"', '`', '$' and '\'
// escaped by a backslash and '%' doubled. Still to be escaped as a key file value.
std::string DesktopExecQuoted(std::string_view text);
// A value of a key file (desktop files, Nemo actions): '\' doubled, line breaks and tabs as
// \n, \r, \t, a leading space as \s.
std::string KeyFileEscaped(std::string_view value);
// Every '%' doubled (Thunar's and the desktop files' literal percent sign).
std::string PercentDoubled(std::string_view text);
// True when text is well-formed UTF-8, which desktop files and XML require.
bool IsValidUtf8(std::string_view text);

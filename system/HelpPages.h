#pragma once
// The help pages that ship with the program, relative to AppFolder().
#include <string_view>

inline constexpr std::string_view HelpPage = "conv-help/help.htm";
inline constexpr std::string_view VersionChangesPage = "conv-help/music-conv-version-changes.htm";

#pragma once
// The maker's web pages that the program opens.
#include <string_view>

inline constexpr std::string_view MakerSite = "https://www.orvantis.example/";
// Where the Windows Media Audio component is offered when it is missing.
inline constexpr std::string_view MakerDownloadPage =
    "https://www.orvantis.example/music-converter-download.htm";

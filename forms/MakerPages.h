#pragma once
// The maker's web pages and address that the program opens.
#include <string_view>

// The home page, opened from the about box.
inline constexpr std::string_view MakerSite = "https://www.orvantis.example/";
// Where the Windows Media Audio component is offered when it is missing.
inline constexpr std::string_view MakerDownloadPage =
    "https://www.orvantis.example/music-converter-download.htm";
inline constexpr std::string_view MakerSupportPage =
    "https://www.orvantis.example/music-converter-support.htm";
// The support e-mail address, as the about box shows it; it opens as "mailto:" + the address.
inline constexpr std::string_view MakerSupportAddress = "support@orvantis.example";

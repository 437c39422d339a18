#pragma once
// The audio file types the file selector shows, and display names of file types.
#include <cstddef>
#include <string>
#include <string_view>

// Entries of the shown-types table, in table order.
enum ShownFileType : std::size_t { sftWave = 0, sftMp3 = 1, sftWma = 2 };
inline constexpr std::size_t ShownFileTypeCount = 3;

// True when ext equals, ignoring case, the extension of an entry whose flag is set.
bool IsShownFileType(std::string_view ext);
// The file selector's type check boxes switch entries on and off; all start on.
void SetShownFileType(ShownFileType entry, bool shown);
bool GetShownFileType(ShownFileType entry);

// text = the display name of the file type of ext. True when it came from the store's
// HKEY_CLASSES_ROOT (ext -> class name -> its default value); otherwise false with a made-up name:
// "File" for ext shorter than 2 characters, else ext without its dot in upper case + " File".
bool GetFileTypeDescription(std::string_view ext, std::string& text);

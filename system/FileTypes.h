#pragma once
// The audio file types the program converts, and display names of file types.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A format that files are listed as: its place among the input formats of the format table. The
// names are those of the "Convert [From]" boxes that the window has always had.
enum ShownFileType : std::size_t { sftWave = 0, sftMp3 = 1, sftWma = 2 };

// The type whose extension ext is (one that the format table lists as an input, in any letter
// case); nullopt for any other text.
std::optional<ShownFileType> AudioFileTypeOf(std::string_view ext);
inline bool IsAudioFileType(std::string_view ext) {
    return AudioFileTypeOf(ext).has_value();
}

// text = the display name of the file type of ext. True when it came from the store's
// StoreRoot::FileTypes (ext -> class name -> its default value); otherwise false with a made-up
// name: "File" for ext shorter than 2 characters, else ext without its dot in upper case + " File".
bool GetFileTypeDescription(std::string_view ext, std::string& text);

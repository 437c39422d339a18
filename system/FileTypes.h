#pragma once
// The audio file types the program converts, and display names of file types.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A format that files are listed as: its place among the input formats of the format table. The
// names are those of the "Convert [From]" boxes that the window has always had.
enum ShownFileType : std::size_t { sftWave = 0, sftMp3 = 1, sftWma = 2 };

// The type whose extension ext is (one that the format table lists as an input, in any letter
// case); nullopt for any other text.
std::optional<ShownFileType> AudioFileTypeOf(std::string_view ext);
inline bool IsAudioFileType(std::string_view ext) {
    return AudioFileTypeOf(ext).has_value();
}

// Cue sheets are listed and collected as a type of their own, after every audio format: the
// selector's box "CUE" shows them, and each stands for the tracks of the audio it splits.
inline constexpr std::string_view CueSheetFilesName = "CUE";
// The key its box's choice is stored under, beside the formats' keys.
inline constexpr std::string_view CueSheetKey = "cue";
ShownFileType CueSheetFileType();
bool IsCueSheetType(std::string_view ext);
// AudioFileTypeOf, or CueSheetFileType() for a cue sheet's extension.
std::optional<ShownFileType> ShownFileTypeOf(std::string_view ext);
// What the selector lists and the hand-over takes: audio files and cue sheets.
inline bool IsListedFileType(std::string_view ext) {
    return ShownFileTypeOf(ext).has_value();
}
// The same for desktop files and file managers: the extensions in lower case without their dot
// (the input formats' in alphabetical order, then the cue sheet's), and the MIME types, each
// ended by ';'.
std::vector<std::string> ListedExtensionNames();
std::string ListedMimeTypeList();

// text = the display name of the file type of ext. True when it came from the store's
// StoreRoot::FileTypes (ext -> class name -> its default value); otherwise false with a made-up
// name: "File" for ext shorter than 2 characters, else ext without its dot in upper case + " File".
bool GetFileTypeDescription(std::string_view ext, std::string& text);

#pragma once
// The input formats as lists that desktop files, file managers and messages write.
#include <string>
#include <string_view>
#include <vector>

// The input extensions in lower case without their dot, in alphabetical order: "mp3", "wav", ...
std::vector<std::string> InputExtensionNames();
// Their MIME types, each ended by ';', as desktop entries list them.
std::string InputMimeTypeList();
// The input formats' names for a sentence: "WAVE, MP3 or WMA" with lastJoin "or".
std::string InputFormatNames(std::string_view lastJoin);

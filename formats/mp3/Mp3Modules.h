#pragma once
// The MP3 codec modules' file names, as the build names them (codecs/mp3dec, codecs/mp3enc).
inline constexpr const char* Mp3DecoderModuleFile = "libbmc-mp3dec.so";
inline constexpr const char* Mp3EncoderModuleFile = "libbmc-mp3enc.so";

#pragma once
// The MP4 codec module's file name, as the build names it (codecs/mp4): AAC and ALAC, both
// directions.
inline constexpr const char* Mp4ModuleFile = "libbmc-mp4.so";

#pragma once
// The file names of the codec modules: the build names the modules so, and the core loads
// and checks them by these names from the codec folders (CodecModules).
inline constexpr const char* Mp3DecoderModuleFile = "libbmc-mp3dec.so";
inline constexpr const char* Mp3EncoderModuleFile = "libbmc-mp3enc.so";
inline constexpr const char* WmaModuleFile = "libbmc-wma.so";
inline constexpr const char* Mp4ModuleFile = "libbmc-mp4.so";

#pragma once
// The file names of the codec modules: the build names the modules so, the format table says
// which formats need them, and the core loads them by these names (CodecModules).
inline constexpr const char* Mp3DecoderModuleFile = "libbmc-mp3dec.so";
inline constexpr const char* Mp3EncoderModuleFile = "libbmc-mp3enc.so";
inline constexpr const char* WmaModuleFile = "libbmc-wma.so";
// One module per stream format, both directions (codecs/StreamCodecApi.h).
inline constexpr const char* FlacModuleFile = "libbmc-flac.so";
inline constexpr const char* OpusModuleFile = "libbmc-opus.so";
inline constexpr const char* VorbisModuleFile = "libbmc-vorbis.so";
// AAC and ALAC in MP4, both directions (codecs/Mp4AudioApi.h).
inline constexpr const char* Mp4ModuleFile = "libbmc-mp4.so";

#include "formats/FormatTable.h"

#include <strings.h>

#include <algorithm>
#include <array>

#include "formats/CodecModuleFiles.h"
#include "formats/ConversionSettings.h"

namespace {
constexpr std::string_view WaveExtensions[] = {".wav"};
constexpr std::string_view WaveMime[] = {"audio/x-wav"};

constexpr std::string_view Mp3Extensions[] = {".mp3"};
constexpr std::string_view Mp3Mime[] = {"audio/mpeg"};
constexpr CodecModuleNeed Mp3Decoder[] = {{"MP3 decoder", Mp3DecoderModuleFile, true}};
constexpr CodecModuleNeed Mp3Encoder[] = {{"MP3 encoder", Mp3EncoderModuleFile, true}};

constexpr std::string_view WmaExtensions[] = {".wma"};
constexpr std::string_view WmaPlaylist[] = {".wax"};
constexpr std::string_view WmaMime[] = {"audio/x-ms-wma"};
constexpr CodecModuleNeed WmaModule[] = {{"WMA", WmaModuleFile, true}};

constexpr std::string_view FlacExtensions[] = {".flac"};
constexpr std::string_view FlacMime[] = {"audio/flac"};
constexpr CodecModuleNeed FlacModule[] = {{"FLAC", FlacModuleFile}};

constexpr std::string_view OpusExtensions[] = {".opus"};
constexpr std::string_view OpusMime[] = {"audio/x-opus+ogg"};
constexpr CodecModuleNeed OpusModule[] = {{"Opus", OpusModuleFile}};

constexpr std::string_view VorbisExtensions[] = {".ogg", ".oga"};
constexpr std::string_view VorbisMime[] = {"audio/x-vorbis+ogg", "audio/ogg"};
constexpr CodecModuleNeed VorbisModule[] = {{"Vorbis", VorbisModuleFile}};

// AAC and ALAC share the extension; the MP4 source tells them apart by content.
constexpr std::string_view Mp4Extensions[] = {".m4a"};
constexpr std::string_view Mp4Mime[] = {"audio/mp4"};
constexpr CodecModuleNeed Mp4Module[] = {{"MP4", Mp4ModuleFile}};

const std::array<FormatInfo, 8> Table = {{
    {.Key = "wav",
     .Name = "WAVE",
     .Description = "Wave (Audio CD's: Standard Wave 44100Khz 16 bit Stereo)",
     .Number = tfWave,
     .OutputExtension = ".wav",
     .InputExtensions = WaveExtensions,
     .AlsoReadExtensions = {},
     .MimeTypes = WaveMime,
     .ReadModules = {},
     .WriteModules = {},
     .TagKind = AudioFileKind::Wave},
    {.Key = "mp3",
     .Name = "MP3",
     .Description = "Mpeg 1 Layer 3",
     .Number = tfMp3,
     .OutputExtension = ".mp3",
     .InputExtensions = Mp3Extensions,
     .AlsoReadExtensions = {},
     .MimeTypes = Mp3Mime,
     .ReadModules = Mp3Decoder,
     .WriteModules = Mp3Encoder,
     .TagKind = AudioFileKind::Mp3},
    {.Key = "wma",
     .Name = "WMA",
     .Description = "Windows Media Audio 4",
     .Number = tfWMA,
     .OutputExtension = ".wma",
     .InputExtensions = WmaExtensions,
     .AlsoReadExtensions = WmaPlaylist,
     .MimeTypes = WmaMime,
     .ReadModules = WmaModule,
     .WriteModules = WmaModule,
     .TagKind = AudioFileKind::Wma},
    {.Key = "flac",
     .Name = "FLAC",
     .Description = "Free Lossless Audio Codec",
     .Number = tfFlac,
     .OutputExtension = ".flac",
     .InputExtensions = FlacExtensions,
     .AlsoReadExtensions = {},
     .MimeTypes = FlacMime,
     .ReadModules = FlacModule,
     .WriteModules = FlacModule,
     .TagKind = AudioFileKind::Flac},
    {.Key = "opus",
     .Name = "Opus",
     .Description = "Opus in Ogg",
     .Number = tfOpus,
     .OutputExtension = ".opus",
     .InputExtensions = OpusExtensions,
     .AlsoReadExtensions = {},
     .MimeTypes = OpusMime,
     .ReadModules = OpusModule,
     .WriteModules = OpusModule,
     .TagKind = AudioFileKind::Opus},
    {.Key = "ogg",
     .Name = "Vorbis",
     .Description = "Ogg Vorbis",
     .Number = tfVorbis,
     .OutputExtension = ".ogg",
     .InputExtensions = VorbisExtensions,
     .AlsoReadExtensions = {},
     .MimeTypes = VorbisMime,
     .ReadModules = VorbisModule,
     .WriteModules = VorbisModule,
     .TagKind = AudioFileKind::Vorbis},
    {.Key = "m4a",
     .Name = "AAC",
     .Description = "AAC in MP4",
     .Number = tfAac,
     .OutputExtension = ".m4a",
     .InputExtensions = Mp4Extensions,
     .AlsoReadExtensions = {},
     .MimeTypes = Mp4Mime,
     .InputCheckedByContent = true,
     .ReadModules = Mp4Module,
     .WriteModules = Mp4Module,
     .TagKind = AudioFileKind::Mp4},
    {.Key = "alac",
     .Name = "ALAC",
     .Description = "Apple Lossless in MP4",
     .Number = tfAlac,
     .OutputExtension = ".m4a",
     .InputExtensions = {},
     .AlsoReadExtensions = {},
     .MimeTypes = Mp4Mime,
     .ReadModules = {},
     .WriteModules = Mp4Module,
     .TagKind = AudioFileKind::Mp4},
}};

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool Holds(std::span<const std::string_view> extensions, std::string_view ext) {
    return std::ranges::any_of(extensions, [&](std::string_view e) { return SameText(e, ext); });
}

template <class Pred> const FormatInfo* FindWhere(Pred pred) {
    const auto it = std::ranges::find_if(Table, pred);
    return it == Table.end() ? nullptr : &*it;
}
} // namespace

std::span<const FormatInfo> Formats() {
    return Table;
}

const FormatInfo* FindTargetFormat(uint8_t number) {
    return FindWhere([&](const FormatInfo& f) { return f.Number == number; });
}

const FormatInfo* FindTargetFormat(std::string_view key) {
    return FindWhere([&](const FormatInfo& f) { return f.IsTarget() && SameText(f.Key, key); });
}

const FormatInfo* FindInputFormat(std::string_view ext) {
    // A name with a zero byte in it names no file type.
    if (ext.find('\0') != std::string_view::npos) {
        return nullptr;
    }
    return FindWhere([&](const FormatInfo& f) { return Holds(f.InputExtensions, ext); });
}

const FormatInfo* FindReadFormat(std::string_view ext) {
    if (const FormatInfo* format = FindInputFormat(ext)) {
        return format;
    }
    return FindWhere([&](const FormatInfo& f) { return Holds(f.AlsoReadExtensions, ext); });
}

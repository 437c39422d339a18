#include "formats/wave/WaveFormat.h"

#include "formats/wave/WaveOutputChoice.h"
#include "formats/wave/WaveSink.h"
#include "formats/wave/WaveSource.h"
#include "formats/wave/WaveTags.h"

namespace {
constexpr std::string_view Extensions[] = {".wav"};
constexpr std::string_view Mime[] = {"audio/x-wav"};
} // namespace

const FormatInfo WaveFormat = {
    .Key = "wav",
    .Name = "WAVE",
    .Description = "Wave (Audio CD's: Standard Wave 44100Khz 16 bit Stereo)",
    .ButtonName = "Wave",
    .Picture = "wave.svg",
    .FilesName = "Wave",
    .BoxPlace = 1,
    .Number = 0,
    .OutputExtension = ".wav",
    .Lossless = true,
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = {},
    .WriteModules = {},
    .Options = {},
    .MakeSource = MakeSourceOf<WaveSource>,
    .MakeSink = MakeSinkOf<WaveSink>,
    .SinkTakes = WaveSink::Takes,
    .Tags = &WaveTags,
    .SettingsWords = WaveOutputWords,
    .TextOption = &WaveOutputFormatOption,
    .HelpText = "Uncompressed sound as on audio CDs, or one of the older compressed WAVE formats.",
};

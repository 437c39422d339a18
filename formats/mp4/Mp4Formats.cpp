#include "formats/mp4/Mp4Formats.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/mp4/AacOptions.h"
#include "formats/mp4/Mp4Module.h"
#include "formats/mp4/Mp4Sink.h"
#include "formats/mp4/Mp4Source.h"
#include "formats/mp4/Mp4Tags.h"

namespace {
constexpr std::string_view Extensions[] = {".m4a"};
constexpr std::string_view Mime[] = {"audio/mp4"};
constexpr CodecModuleNeed Module[] = {{"MP4", Mp4ModuleFile}};

const FormatOption* const AacOptions[] = {&AacBitRateOption, &OutputChannelsOption,
                                          &OutputSampleRateOption};
const FormatOption* const AlacOptions[] = {&OutputChannelsOption, &OutputSampleRateOption};
} // namespace

const FormatInfo AacFormat = {
    .Key = "m4a",
    .Name = "AAC",
    .Description = "AAC in MP4",
    .ButtonName = "AAC",
    .Picture = "aac.svg",
    .FilesName = "M4A",
    .BoxPlace = 6,
    .Number = 6,
    .OutputExtension = ".m4a",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .InputCheckedByContent = true,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = AacOptions,
    .MostSampleRate = 96000, // the encoder's highest
    .MakeSource = MakeSourceOf<Mp4Source>,
    .MakeSink = Mp4Sink::Make<Mp4CodecAac>,
    .Tags = &Mp4Tags,
    .HelpText = "Advanced Audio Coding in an MP4 (M4A) file, the lossy format of Apple devices and "
                "many phones.",
};

// Read as the AAC entry reads every .m4a file.
const FormatInfo AlacFormat = {
    .Key = "alac",
    .Name = "ALAC",
    .Description = "Apple Lossless in MP4",
    .ButtonName = "ALAC",
    .Picture = "alac.svg",
    .FilesName = {},
    .Number = 7,
    .OutputExtension = ".m4a",
    .Lossless = true,
    .InputExtensions = {},
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = {},
    .WriteModules = Module,
    .Options = AlacOptions,
    .MakeSource = nullptr,
    .MakeSink = Mp4Sink::Make<Mp4CodecAlac>,
    .Tags = &Mp4Tags,
    .HelpText = "Apple Lossless in an M4A file: lossless like FLAC, for Apple devices. An "
                "<code>.m4a</code> file is read as AAC or ALAC by what it holds.",
};

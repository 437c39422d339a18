#include "formats/flac/FlacFormat.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/flac/FlacTags.h"
#include "formats/xiph/XiphSink.h"
#include "formats/xiph/XiphSource.h"

namespace {
constexpr std::string_view Extensions[] = {".flac"};
constexpr std::string_view Mime[] = {"audio/flac"};
constexpr CodecModuleNeed Module[] = {{"FLAC", "libbmc-flac.so"}};

const FormatOption CompressionLevel = {
    .Caption = "compression level",
    .Flag = "--compression-level",
    .StoredName = "BrConvFlacLevel",
    .Least = 0,
    .Most = 8,
    .ZeroKeepsInput = false,
    .Unit = "",
    .Default = 5,
};
const FormatOption* const Options[] = {&CompressionLevel, &OutputChannelsOption,
                                       &OutputSampleRateOption};

} // namespace

const FormatInfo FlacFormat = {
    .Key = "flac",
    .Name = "FLAC",
    .Description = "Free Lossless Audio Codec",
    .ButtonName = "FLAC",
    .Picture = "flac.svg",
    .FilesName = "FLAC",
    .BoxPlace = 3,
    .Number = 3,
    .OutputExtension = ".flac",
    .Lossless = true,
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    .MakeSource = MakeSourceOf<XiphSource>,
    .MakeSink = XiphSink::Make<ChooseStreamTarget<CompressionLevel, LosslessStreamTarget>>,
    .SinkTakes = XiphSink::Takes<ChooseStreamTarget<CompressionLevel, LosslessStreamTarget>>,
    .Tags = &FlacTags,
    .HelpText = "Free Lossless Audio Codec: smaller than WAVE, and decodes to exactly the same "
                "sound. Used for CD rips and music archives.",
};

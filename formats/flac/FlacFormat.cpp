#include "formats/flac/FlacFormat.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/flac/FlacTags.h"
#include "formats/xiph/XiphSink.h"
#include "formats/xiph/XiphSource.h"

namespace {
constexpr std::string_view Extensions[] = {".flac"};
constexpr std::string_view Mime[] = {"audio/flac"};
constexpr CodecModuleNeed Module[] = {{"FLAC", "libbmc-flac.so"}};

const FormatOption CompressionLevel = {"compression level",
                                       "--compression-level",
                                       "BrConvFlacLevel",
                                       0,
                                       8,
                                       false,
                                       "",
                                       &ConversionSettings::FlacCompressionLevel};
const FormatOption* const Options[] = {&CompressionLevel, &OutputChannelsOption,
                                       &OutputSampleRateOption};

std::optional<StreamTarget> Choose(const WAVEFORMATEX& input, const ConversionSettings& settings) {
    auto shape = StreamShape(input, settings);
    if (!shape)
        return std::nullopt;
    shape->setting = settings.FlacCompressionLevel;
    return LosslessStreamTarget(input, *shape);
}
} // namespace

const FormatInfo FlacFormat = {
    .Key = "flac",
    .Name = "FLAC",
    .Description = "Free Lossless Audio Codec",
    .ButtonName = "FLAC",
    .Picture = "flac.svg",
    .FilesName = "FLAC",
    .BoxPlace = 3,
    .Number = tfFlac,
    .OutputExtension = ".flac",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    .MakeSource = MakeSourceOf<XiphSource>,
    .MakeSink = XiphSink::Make<Choose>,
    .Tags = &FlacTags,
};

#include "formats/vorbis/VorbisFormat.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/vorbis/VorbisTags.h"
#include "formats/xiph/XiphSink.h"
#include "formats/xiph/XiphSource.h"

namespace {
constexpr std::string_view Extensions[] = {".ogg", ".oga"};
constexpr std::string_view Mime[] = {"audio/x-vorbis+ogg", "audio/ogg"};
constexpr CodecModuleNeed Module[] = {{"Vorbis", "libbmc-vorbis.so"}};

const FormatOption Quality = {"quality", "--quality", "BrConvVorbisQuality",
                              -1,        10,          false,
                              "",        &ConversionSettings::VorbisQuality};
const FormatOption* const Options[] = {&Quality, &OutputChannelsOption, &OutputSampleRateOption};

std::optional<StreamTarget> Choose(const WAVEFORMATEX& input, const ConversionSettings& settings) {
    auto shape = StreamShape(input, settings);
    if (!shape)
        return std::nullopt;
    shape->setting = settings.VorbisQuality;
    return LossyStreamTarget(input, *shape);
}
} // namespace

const FormatInfo VorbisFormat = {
    .Key = "ogg",
    .Name = "Vorbis",
    .Description = "Ogg Vorbis",
    .ButtonName = "Vorbis",
    .Picture = "vorbis.svg",
    .FilesName = "Ogg",
    .BoxPlace = 5,
    .Number = tfVorbis,
    .OutputExtension = ".ogg",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    .MakeSource = MakeSourceOf<XiphSource>,
    .MakeSink = XiphSink::Make<Choose>,
    .Tags = &VorbisTags,
};

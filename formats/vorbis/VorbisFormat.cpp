#include "formats/vorbis/VorbisFormat.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/vorbis/VorbisTags.h"
#include "formats/xiph/XiphSink.h"
#include "formats/xiph/XiphSource.h"

namespace {
constexpr std::string_view Extensions[] = {".ogg", ".oga"};
constexpr std::string_view Mime[] = {"audio/x-vorbis+ogg", "audio/ogg"};
constexpr CodecModuleNeed Module[] = {{"Vorbis", "libbmc-vorbis.so"}};

const FormatOption Quality = {
    .Caption = "quality",
    .Flag = "--quality",
    .StoredName = "BrConvVorbisQuality",
    .Least = -1,
    .Most = 10,
    .ZeroKeepsInput = false,
    .Unit = "",
    .Default = 5,
};
const FormatOption* const Options[] = {&Quality, &OutputChannelsOption, &OutputSampleRateOption};

} // namespace

const FormatInfo VorbisFormat = {
    .Key = "ogg",
    .Name = "Vorbis",
    .FullName = "Ogg Vorbis",
    .Description = "Ogg Vorbis",
    .ButtonName = "Vorbis",
    .Picture = "vorbis.svg",
    .FilesName = "Ogg",
    .BoxPlace = 5,
    .Number = 5,
    .OutputExtension = ".ogg",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    // libvorbis refuses rates above 200000 Hz: an input above is written at the highest common
    // rate below that.
    .MostSampleRate = 192000,
    .MakeSource = MakeSourceOf<XiphSource>,
    .MakeSink = XiphSink::Make<ChooseStreamTarget<Quality, LossyStreamTarget>>,
    .SinkTakes = XiphSink::Takes<ChooseStreamTarget<Quality, LossyStreamTarget>>,
    .Tags = &VorbisTags,
    .HelpText = "An open lossy format in an Ogg file, read by most players and games.",
};

#include "formats/wma/WmaFormat.h"

#include "formats/wma/WmaAvailability.h"
#include "formats/wma/WmaModule.h"
#include "formats/wma/WmaOptions.h"
#include "formats/wma/WmaSink.h"
#include "formats/wma/WmaSource.h"
#include "formats/wma/WmaTags.h"

namespace {
constexpr std::string_view Extensions[] = {".wma"};
constexpr std::string_view Playlist[] = {".wax"};
constexpr std::string_view Mime[] = {"audio/x-ms-wma"};
constexpr CodecModuleNeed Module[] = {{"WMA", WmaModuleFile, true}};
const FormatOption* const Options[] = {&WmaQualityOption};
} // namespace

const FormatInfo WmaFormat = {
    .Key = "wma",
    .Name = "WMA",
    .Description = "Windows Media Audio 4",
    .ButtonName = "WMA",
    .Picture = "wma.svg",
    .FilesName = "WMA",
    .BoxPlace = 2,
    .Number = 2,
    .OutputExtension = ".wma",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = Playlist,
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    .MakeSource = MakeSourceOf<WmaSource>,
    .MakeSink = MakeSinkOf<WmaSink>,
    .Tags = &WmaTags,
    .RefuseJob = WmaJobRefusal,
    .ValueWords = WmaOptionWords,
    .SettingsWords = WmaSettingsWords,
    .HelpText = "Windows Media Audio, a lossy format.",
};

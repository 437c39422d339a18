#include "formats/mp3/Mp3Format.h"

#include "formats/mp3/Mp3Modules.h"
#include "formats/mp3/Mp3Options.h"
#include "formats/mp3/Mp3Sink.h"
#include "formats/mp3/Mp3Source.h"
#include "formats/mp3/Mp3Tags.h"

namespace {
constexpr std::string_view Extensions[] = {".mp3"};
constexpr std::string_view Mime[] = {"audio/mpeg"};
constexpr CodecModuleNeed Decoder[] = {{"MP3 decoder", Mp3DecoderModuleFile, true}};
constexpr CodecModuleNeed Encoder[] = {{"MP3 encoder", Mp3EncoderModuleFile, true}};
const FormatOption* const Options[] = {&Mp3BitRateOption, &Mp3VbrOption, &Mp3SampleRateOption,
                                       &Mp3MonoOption};
} // namespace

const FormatInfo Mp3Format = {
    .Key = "mp3",
    .Name = "MP3",
    .Description = "Mpeg 1 Layer 3",
    .ButtonName = "MP3",
    .Picture = "mp3.svg",
    .FilesName = "Mp3",
    .BoxPlace = 0,
    .Number = 1,
    .OutputExtension = ".mp3",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Decoder,
    .WriteModules = Encoder,
    .Options = Options,
    .MakeSource = MakeSourceOf<Mp3Source>,
    .MakeSink = MakeSinkOf<Mp3Sink>,
    .SinkTakes = Mp3Sink::Takes,
    .Tags = &Mp3Tags,
    .ValueWords = Mp3OptionWords,
    .HelpText = "The common lossy format that every player reads.",
};

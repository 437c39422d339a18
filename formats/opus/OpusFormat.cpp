#include "formats/opus/OpusFormat.h"

#include "catalog/OutputShapeOptions.h"
#include "formats/opus/OpusTags.h"
#include "formats/xiph/XiphSink.h"
#include "formats/xiph/XiphSource.h"

namespace {
constexpr std::string_view Extensions[] = {".opus"};
constexpr std::string_view Mime[] = {"audio/x-opus+ogg"};
constexpr CodecModuleNeed Module[] = {{"Opus", "libbmc-opus.so"}};

// The usual steps; a stored value between them is listed too.
constexpr OfferedValue BitRates[] = {{32}, {48}, {64}, {96}, {128}, {160}, {192}, {256}};
const FormatOption BitRate = {
    .Caption = "bit rate",
    .Flag = "--bitrate",
    .StoredName = "BrConvOpusKbps",
    .Least = 32,
    .Most = 256,
    .ZeroKeepsInput = false,
    .Unit = "kbit/s",
    .Default = 128,
    .Offered = BitRates,
};
// Opus always encodes at 48 kHz: the sample rate is not a choice.
const FormatOption* const Options[] = {&BitRate, &OutputChannelsOption};
constexpr uint32_t EncodedRate = 48000;

// The core resamples to the encoded rate; the stream records the source's, which players restore.
StreamTarget OpusStreamTarget(const WAVEFORMATEX& input, StreamEncoderConfig shape) {
    shape.sourceRate = shape.sampleRate;
    shape.sampleRate = EncodedRate;
    return LossyStreamTarget(input, shape);
}
constexpr StreamTargetChooser ChooseOpusTarget = ChooseStreamTarget<BitRate, OpusStreamTarget>;

} // namespace

const FormatInfo OpusFormat = {
    .Key = "opus",
    .Name = "Opus",
    .Description = "Opus in Ogg",
    .ButtonName = "Opus",
    .Picture = "opus.svg",
    .FilesName = "Opus",
    .BoxPlace = 4,
    .Number = 4,
    .OutputExtension = ".opus",
    .InputExtensions = Extensions,
    .AlsoReadExtensions = {},
    .MimeTypes = Mime,
    .ReadModules = Module,
    .WriteModules = Module,
    .Options = Options,
    .MakeSource = MakeSourceOf<XiphSource>,
    .MakeSink = XiphSink::Make<ChooseOpusTarget>,
    .SinkTakes = XiphSink::Takes<ChooseOpusTarget>,
    .Tags = &OpusTags,
    .HelpText = "A modern lossy format in an Ogg file: the best sound for its size, good for "
                "phones and portable players.",
};

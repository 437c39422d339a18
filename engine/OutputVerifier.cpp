#include "engine/OutputVerifier.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "catalog/FormatTable.h"
#include "engine/DecodeToObserver.h"
#include "engine/DigestValues.h"
#include "system/FileNames.h"

namespace {
// Targets whose files record no length: their last block is filled up with silence, up to this
// many frames.
constexpr std::pair<std::string_view, uint64_t> PaddedBlocks[] = {{"wma", 2048}};

std::string_view KeyOf(uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    return format ? format->Key : std::string_view();
}

constexpr std::string_view DigestName = "verify digest";
constexpr std::string_view FramesName = "verify frames";
constexpr std::string_view RateName = "verify rate";
constexpr std::string_view ChannelsName = "verify channels";
constexpr std::string_view ReshapedName = "verify reshaped";

std::optional<double> ValueIn(const RowValues& values, std::string_view name) {
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

std::string FramesText(uint64_t frames) {
    return std::to_string(frames) + (frames == 1 ? " sample frame" : " sample frames");
}
} // namespace

OutputVerifier::OutputVerifier(uint8_t target) {
    const FormatInfo* format = FindTargetFormat(target);
    digestInput_ = format && format->Lossless;
}

std::unique_ptr<AudioObserver> OutputVerifier::WatchInput() {
    return std::make_unique<PcmDigestObserver>(input_, digestInput_);
}

std::string OutputVerifier::Check(const std::string& path, const std::string& destination,
                                  const ConversionSettings& settings, bool reshaped,
                                  const JobEnvironment& environment) const {
    if (!input_) {
        return "the input's audio was not read whole";
    }
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    const bool exact = !reshaped && format && format->Lossless;
    std::optional<PcmDigestObserver::Result> output;
    PcmDigestObserver observer(output, exact);
    if (!DecodeToObserver(path, GetFileExtension(destination), environment, observer) || !output) {
        return "it could not be decoded";
    }
    if (!exact) {
        return CheckLength(*output, settings.TargetFormat);
    }
    if (output->frames != input_->frames) {
        return "it decodes to " + FramesText(output->frames) + ", not " +
               FramesText(input_->frames);
    }
    return *output == *input_ ? std::string() : "its samples differ from the input's";
}

std::string OutputVerifier::CheckLength(const PcmDigestObserver::Result& output,
                                        uint8_t target) const {
    if (input_->sampleRate == 0 || output.sampleRate == 0) {
        return "it holds no audio";
    }
    const bool resampled = output.sampleRate != input_->sampleRate;
    const auto expected = static_cast<uint64_t>(
        std::llround(static_cast<double>(input_->frames) * output.sampleRate / input_->sampleRate));
    // A resampler may round the last frame either way.
    const uint64_t below = resampled && expected > 0 ? expected - 1 : expected;
    uint64_t above = resampled ? expected + 1 : expected;
    for (const auto& [padded, block] : PaddedBlocks) {
        if (padded == KeyOf(target)) {
            above += block - 1;
        }
    }
    if (output.frames >= below && output.frames <= above) {
        return {};
    }
    return "it decodes to " + FramesText(output.frames) + ", not " + FramesText(expected);
}

void OutputVerifier::PutInto(RowValues& values, bool reshaped) const {
    values.insert_or_assign(std::string(ReshapedName), reshaped ? 1.0 : 0.0);
    if (!input_) {
        return;
    }
    PutDigest(values, DigestName, input_->digest);
    // Counts of frames stay exact in a double up to 2^53, years of audio.
    values.insert_or_assign(std::string(FramesName), static_cast<double>(input_->frames));
    values.insert_or_assign(std::string(RateName), input_->sampleRate);
    values.insert_or_assign(std::string(ChannelsName), input_->channels);
}

OutputVerifier OutputVerifier::From(const RowValues& values) {
    OutputVerifier verifier;
    const auto digest = DigestIn(values, DigestName);
    const auto frames = ValueIn(values, FramesName);
    const auto rate = ValueIn(values, RateName);
    const auto channels = ValueIn(values, ChannelsName);
    if (digest && frames && rate && channels) {
        verifier.input_ = PcmDigestObserver::Result{*digest, static_cast<uint64_t>(*frames),
                                                    static_cast<uint32_t>(*rate),
                                                    static_cast<uint16_t>(*channels)};
    }
    return verifier;
}

bool OutputVerifier::ReshapedIn(const RowValues& values) {
    return ValueIn(values, ReshapedName).value_or(0) != 0;
}

#include "jobs/SettingsFields.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "engine/WaveFormat.h"
#include "engine/WaveOutputFormatFile.h"

namespace {
// The fields before the options' values (the target and the WAVE output format); after them come
// the ReplayGain mode, whether outputs are verified, the cover size, the cover file names (one
// field each, as many as there are) and, last, whether tags are copied.
constexpr std::size_t FixedFieldCount = 2;

std::size_t ReplayGainField() {
    return FixedFieldCount + FormatOptions().size();
}

std::size_t VerifyField() {
    return ReplayGainField() + 1;
}

std::size_t CoverSizeField() {
    return VerifyField() + 1;
}

std::string Hex(const uint8_t* data, std::size_t size) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0xf];
    }
    return text;
}

bool FromHex(const std::string& text, WaveOutputFormatBuffer& buffer) {
    if (text.size() % 2 != 0 || text.size() / 2 > buffer.size()) {
        return false;
    }
    buffer.fill(0);
    for (std::size_t i = 0; i < text.size() / 2; ++i) {
        const char* pair = text.data() + 2 * i;
        const auto [end, ec] = std::from_chars(pair, pair + 2, buffer[i], 16);
        if (ec != std::errc() || end != pair + 2) {
            return false;
        }
    }
    return true;
}

template <class Number> bool Parse(const std::string& text, Number& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}
} // namespace

std::vector<std::string> SettingsFields(const ConversionSettings& settings) {
    // Only the format record and its extra bytes; the rest of the buffer is zero.
    WAVEFORMATEX head;
    std::memcpy(&head, settings.WaveOutputFormat.data(), sizeof head);
    const std::size_t used =
        std::min(settings.WaveOutputFormat.size(), sizeof head + std::size_t{head.cbSize});
    std::vector<std::string> fields = {std::to_string(settings.TargetFormat),
                                       Hex(settings.WaveOutputFormat.data(), used)};
    for (const FormatOption& option : FormatOptions()) {
        fields.push_back(std::to_string(settings.Options.Of(option)));
    }
    fields.emplace_back(WordOf(settings.ReplayGain));
    fields.push_back(std::to_string(settings.Verify));
    fields.push_back(std::to_string(settings.CoverSize));
    fields.insert(fields.end(), settings.CoverFiles.begin(), settings.CoverFiles.end());
    fields.push_back(std::to_string(settings.CopyTags));
    return fields;
}

std::vector<std::string> OutputSettingsFields(const ConversionSettings& settings) {
    ConversionSettings used = settings;
    // Verifying an output changes nothing in it.
    used.Verify = false;
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    for (const FormatOption& option : FormatOptions()) {
        if (!format || !OptionAppliesTo(option, settings.TargetFormat) ||
            !OptionInUse(*format, option, settings.Options)) {
            used.Options.Clear(option);
        }
    }
    if (!format || !format->TextOption) {
        used.WaveOutputFormat = {};
    }
    return SettingsFields(used);
}

bool ApplySettingsFields(const std::vector<std::string>& fields, ConversionSettings& settings) {
    const std::size_t coverSizeField = CoverSizeField();
    if (fields.size() < coverSizeField + 2) {
        return false;
    }
    unsigned target = 0;
    unsigned copyTags = 0;
    unsigned verify = 0;
    uint32_t coverSize = 0;
    WaveOutputFormatBuffer waveFormat{};
    const std::optional<ReplayGainMode> replayGain = ReplayGainModeOf(fields[ReplayGainField()]);
    if (!Parse(fields[0], target) || target > 255 || !FromHex(fields[1], waveFormat) ||
        !Parse(fields.back(), copyTags) || copyTags > 1 ||
        !Parse(fields[coverSizeField], coverSize) || !replayGain ||
        !Parse(fields[VerifyField()], verify) || verify > 1) {
        return false;
    }
    OptionValues options;
    for (std::size_t i = 0; i < FormatOptions().size(); ++i) {
        const FormatOption& option = FormatOptions()[i];
        int32_t value = 0;
        if (!Parse(fields[FixedFieldCount + i], value) || !option.Accepts(value)) {
            return false;
        }
        options.Set(option, value);
    }
    settings.TargetFormat = static_cast<uint8_t>(target);
    settings.WaveOutputFormat = waveFormat;
    settings.Options = options;
    settings.CopyTags = copyTags == 1;
    settings.CoverSize = coverSize;
    settings.ReplayGain = *replayGain;
    settings.Verify = verify == 1;
    settings.CoverFiles.assign(fields.begin() + static_cast<std::ptrdiff_t>(coverSizeField + 1),
                               fields.end() - 1);
    return true;
}

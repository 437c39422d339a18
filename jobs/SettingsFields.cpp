#include "jobs/SettingsFields.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/WaveFormat.h"
#include "engine/WaveOutputFormatFile.h"
#include "catalog/FormatOptions.h"

namespace {
// The fields before the numeric options, and the one after them (whether tags are copied).
constexpr std::size_t FixedFieldCount = 8;

std::size_t FieldCount() {
    return FixedFieldCount + FormatOptions().size() + 1;
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
    std::vector<std::string> fields = {
        std::to_string(settings.TargetFormat), std::to_string(settings.Mp3SampleRate),
        std::to_string(settings.Mp3Stereo),    std::to_string(settings.Mp3BitRate),
        std::to_string(settings.WmaBitRate),   std::to_string(settings.WmaSampleRate),
        std::to_string(settings.WmaChannels),  Hex(settings.WaveOutputFormat.data(), used)};
    for (const FormatOption& option : FormatOptions()) {
        fields.push_back(std::to_string(settings.*option.Field));
    }
    fields.push_back(std::to_string(settings.CopyTags));
    return fields;
}

bool ApplySettingsFields(const std::vector<std::string>& fields, ConversionSettings& settings) {
    if (fields.size() != FieldCount()) {
        return false;
    }
    unsigned target = 0;
    unsigned stereo = 0;
    unsigned copyTags = 0;
    int32_t mp3Rate = 0, mp3Kbps = 0, wmaKbps = 0, wmaRate = 0, wmaChannels = 0;
    WaveOutputFormatBuffer waveFormat{};
    if (!Parse(fields[0], target) || target > 255 || !Parse(fields[1], mp3Rate) ||
        !Parse(fields[2], stereo) || stereo > 1 || !Parse(fields[3], mp3Kbps) ||
        !Parse(fields[4], wmaKbps) || !Parse(fields[5], wmaRate) ||
        !Parse(fields[6], wmaChannels) || !FromHex(fields[7], waveFormat) ||
        !Parse(fields.back(), copyTags) || copyTags > 1) {
        return false;
    }
    ConversionSettings numbers;
    for (std::size_t i = 0; i < FormatOptions().size(); ++i) {
        const FormatOption& option = FormatOptions()[i];
        int32_t value = 0;
        if (!Parse(fields[FixedFieldCount + i], value) || !option.Accepts(value)) {
            return false;
        }
        numbers.*option.Field = value;
    }
    for (const FormatOption& option : FormatOptions()) {
        settings.*option.Field = numbers.*option.Field;
    }
    settings.TargetFormat = static_cast<uint8_t>(target);
    settings.Mp3SampleRate = mp3Rate;
    settings.Mp3Stereo = stereo == 1;
    settings.Mp3BitRate = mp3Kbps;
    settings.WmaBitRate = wmaKbps;
    settings.WmaSampleRate = wmaRate;
    settings.WmaChannels = wmaChannels;
    settings.WaveOutputFormat = waveFormat;
    settings.CopyTags = copyTags == 1;
    return true;
}

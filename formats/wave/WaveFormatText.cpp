#include "formats/wave/WaveFormatText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <vector>

#include "acm/WaveFormatCatalog.h"

namespace {
struct Wanted {
    uint16_t tag = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
};

bool ParseNumber(const std::string& text, uint32_t& value) {
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    return !digits.empty() && ec == std::errc() && ptr == end;
}

bool ParseTag(const std::string& name, uint16_t& tag) {
    static const std::map<std::string, uint16_t> named = {{"pcm", WAVE_FORMAT_PCM},
                                                          {"float", WAVE_FORMAT_IEEE_FLOAT},
                                                          {"alaw", WAVE_FORMAT_ALAW},
                                                          {"mulaw", WAVE_FORMAT_MULAW},
                                                          {"ima-adpcm", WAVE_FORMAT_IMA_ADPCM},
                                                          {"ms-adpcm", WAVE_FORMAT_ADPCM},
                                                          {"gsm610", WAVE_FORMAT_GSM610}};
    if (const auto it = named.find(name); it != named.end()) {
        tag = it->second;
        return true;
    }
    uint32_t number = 0;
    if (!ParseNumber(name, number) || number == 0 || number > 0xFFFF) {
        return false;
    }
    tag = static_cast<uint16_t>(number);
    return true;
}

bool ParseFormatText(const std::string& formatText, Wanted& wanted, std::string& error) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = formatText.find(':', start)) != std::string::npos;
         start = colon + 1) {
        parts.push_back(formatText.substr(start, colon - start));
    }
    parts.push_back(formatText.substr(start));
    if (parts.size() != 4) {
        error = std::string(WaveFormatFlag) +
                " takes TAG:CHANNELS:RATE:BITS, for example pcm:2:44100:16";
        return false;
    }
    if (!ParseTag(parts[0], wanted.tag)) {
        error = std::string(WaveFormatFlag) + ": unknown format tag '" + parts[0] +
                "' (use pcm, float, alaw, mulaw, ima-adpcm, ms-adpcm, gsm610 or a number)";
        return false;
    }
    if (!ParseNumber(parts[1], wanted.channels) || !ParseNumber(parts[2], wanted.rate) ||
        !ParseNumber(parts[3], wanted.bits)) {
        error = std::string(WaveFormatFlag) + ": CHANNELS, RATE and BITS must be numbers, not '" +
                formatText + "'";
        return false;
    }
    return true;
}

// The formats of a tag, as "1:8000:8|16, 2:8000:8|16": bit depths of one channel count and rate
// are grouped.
class Offered {
public:
    void Add(const WAVEFORMATEX& format) {
        const std::string head =
            std::to_string(format.nChannels) + ":" + std::to_string(format.nSamplesPerSec) + ":";
        const std::string bits = std::to_string(format.wBitsPerSample);
        if (head == lastHead_) {
            text_ += "|" + bits;
            return;
        }
        text_ += (text_.empty() ? "" : ", ") + head + bits;
        lastHead_ = head;
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    std::string lastHead_;
};

std::string TagText(uint16_t tag) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", tag);
    return text;
}
} // namespace

bool WaveFormatFromText(const std::string& formatText, WaveOutputFormatBuffer& buffer,
                        std::string& error) {
    Wanted wanted;
    if (!ParseFormatText(formatText, wanted, error)) {
        return false;
    }
    const std::vector<std::vector<uint8_t>> records = WaveFormatCatalog::OfferedRecords(wanted.tag);
    if (records.empty()) {
        error = std::string(WaveFormatFlag) + ": format tag " + TagText(wanted.tag) +
                " cannot be written";
        return false;
    }
    Offered offered;
    for (const std::vector<uint8_t>& record : records) {
        WAVEFORMATEX format;
        std::memcpy(&format, record.data(), sizeof format);
        if (format.nChannels == wanted.channels && format.nSamplesPerSec == wanted.rate &&
            format.wBitsPerSample == wanted.bits && record.size() <= buffer.size()) {
            std::copy(record.begin(), record.end(), buffer.begin());
            return true;
        }
        offered.Add(format);
    }
    error = std::string(WaveFormatFlag) + ": " + WaveFormatCatalog::TagName(wanted.tag) + " (" +
            TagText(wanted.tag) + ") is not offered as " + std::to_string(wanted.channels) + ":" +
            std::to_string(wanted.rate) + ":" + std::to_string(wanted.bits) +
            "; CHANNELS:RATE:BITS offered: " + offered.Text();
    return false;
}

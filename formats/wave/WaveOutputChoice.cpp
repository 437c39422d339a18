#include "formats/wave/WaveOutputChoice.h"

#include <cstring>

#include "acm/WaveFormatCatalog.h"
#include "catalog/ConversionSettings.h"
#include "engine/WaveFormat.h"
#include "engine/WaveOutputFormatFile.h"
#include "formats/ChannelCountWords.h"
#include "formats/wave/WaveFormatText.h"

namespace {
WAVEFORMATEX HeadOf(const WaveOutputFormatBuffer& buffer) {
    WAVEFORMATEX head;
    std::memcpy(&head, buffer.data(), sizeof head);
    return head;
}

bool Writable(const WaveOutputFormatBuffer& buffer) {
    const std::size_t size = sizeof(WAVEFORMATEX) + HeadOf(buffer).cbSize;
    return size <= buffer.size() && WaveFormatCatalog::CanWrite({buffer.data(), size});
}

bool ApplyText(const std::string& text, ConversionSettings& settings, std::string& error) {
    WaveOutputFormatBuffer buffer{};
    if (!WaveFormatFromText(text, buffer, error)) {
        return false;
    }
    settings.WaveOutputFormat = buffer;
    return true;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : ", ") + word;
    }
    return text;
}

// The kept format, or 16-bit stereo PCM at 44100 Hz when the wave format catalog cannot write
// it: a damaged file would fail every WAVE conversion.
std::string LoadKept(ConversionSettings& settings) {
    WaveOutputFormatBuffer buffer{};
    LoadWaveOutputFormat(buffer);
    settings.WaveOutputFormat = buffer;
    if (Writable(buffer)) {
        return {};
    }
    settings.WaveOutputFormat.fill(0);
    const WAVEFORMATEX standard = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &standard, sizeof standard);
    return "the WAVE output format kept in WaveCompress.bin cannot be written; using " +
           Joined(WaveOutputWords(settings)) + " instead";
}
} // namespace

const FormatTextOption WaveOutputFormatOption = {
    .Flag = WaveFormatFlag,
    .Placeholder = "TAG:CHANNELS:RATE:BITS",
    .Help = "WAVE output format, e.g. pcm:2:44100:16, float:2:48000:32,\n"
            "ima-adpcm:1:22050:4, alaw:1:8000:8; TAG is pcm, float,\n"
            "alaw, mulaw, ima-adpcm, ms-adpcm, gsm610 or a format tag\n"
            "number (17, 0x11)\n",
    .Apply = ApplyText,
    .LoadKept = LoadKept,
};

std::vector<std::string> WaveOutputWords(const ConversionSettings& settings) {
    const WAVEFORMATEX format = HeadOf(settings.WaveOutputFormat);
    std::string name = WaveFormatCatalog::TagName(format.wFormatTag);
    if (name.empty()) {
        name = "format " + std::to_string(format.wFormatTag);
    }
    std::vector<std::string> words = {name};
    if (format.wBitsPerSample != 0) {
        words.push_back(std::to_string(format.wBitsPerSample) + " bit");
    }
    words.push_back(std::to_string(format.nSamplesPerSec) + " Hz");
    words.push_back(ChannelCountWords(format.nChannels));
    return words;
}

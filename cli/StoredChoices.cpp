#include "cli/StoredChoices.h"

#include <array>

#include "engine/ConversionSettings.h"
#include "system/Registry.h"

namespace {
constexpr std::array<int32_t, 3> Mp3SampleRates = {48000, 44100, 32000};
constexpr std::array<int32_t, 8> Mp3BitRates = {320, 256, 192, 160, 128, 96, 64, 56};
constexpr std::array<int32_t, 8> WmaBitRates = {160, 128, 96, 64, 48, 64, 48, 36};

uint32_t Stored(const char* name) {
    return RegReadDword(HKEY_CURRENT_USER, SettingsKey, name);
}

// The two MP3 lists are stored as item index plus 1; 0 selects the list's default item.
template <std::size_t N>
void FromIndexPlusOne(uint32_t stored, uint32_t defaultItem, const std::array<int32_t, N>& items,
                      int32_t& field) {
    const uint32_t item = stored == 0 ? defaultItem : stored - 1;
    if (item < items.size()) {
        field = items[item];
    }
}

void ApplyWmaQuality(uint32_t item) {
    if (item < WmaBitRates.size()) {
        Settings().WmaBitRate = WmaBitRates[item];
        Settings().WmaSampleRate = item < 5 ? 44100 : 32000;
    }
}
} // namespace

uint8_t StoredTarget() {
    switch (Stored("BrConvTo")) {
    case 1:
        return tfMp3;
    case 2:
        return tfWMA;
    default:
        return tfWave;
    }
}

void ApplyEncoderChoices(uint8_t target, const CliOptions& options) {
    ConversionSettings& settings = Settings();
    if (target == tfMp3) {
        FromIndexPlusOne(Stored("BrConvMP3Freq"), 1, Mp3SampleRates, settings.Mp3SampleRate);
        FromIndexPlusOne(Stored("BrConvMP3Bit"), 2, Mp3BitRates, settings.Mp3BitRate);
        settings.Mp3Stereo = Stored("BrConvMono") == 0;
        if (options.sampleRate) {
            settings.Mp3SampleRate = *options.sampleRate;
        }
        if (options.bitRate) {
            settings.Mp3BitRate = *options.bitRate;
        }
        if (options.mono) {
            settings.Mp3Stereo = false;
        }
    } else if (target == tfWMA) {
        ApplyWmaQuality(options.wmaQuality ? static_cast<uint32_t>(*options.wmaQuality)
                                           : Stored("BrConvWMAQual"));
    }
}

#pragma once
// What the "Wave Output Format" chooser offers: every format tag the wave format catalog writes,
// with its name, and for each tag every format it writes, with its description. The chooser opens
// on the current format, which is offered even when it is not one of the standard ones (a format
// chosen on the command line, say).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WaveFormatTagChoice {
    uint16_t Tag = 0;
    std::string Name; // "IMA ADPCM"
};

struct WaveFormatChoice {
    std::vector<uint8_t> Record; // a WAVEFORMATEX with its cbSize extra bytes
    std::string Description;     // "22,050 Hz, 4 Bit, Mono"
};

class WaveFormatChoices {
public:
    // current: the format buffer (a WAVEFORMATEX with its extra bytes, then anything).
    WaveFormatChoices(const uint8_t* current, std::size_t size);

    const std::vector<WaveFormatTagChoice>& Tags() const { return tags_; }
    // The formats of Tags()[tagItem].
    std::vector<WaveFormatChoice> FormatsOf(std::size_t tagItem) const;

    // Where the current format is: its tag's item and its item in FormatsOf that tag; 0 and 0
    // when its tag is not offered.
    std::size_t CurrentTagItem() const { return currentTag_; }
    std::size_t CurrentFormatItem() const { return currentFormat_; }

private:
    std::vector<WaveFormatTagChoice> tags_;
    std::vector<uint8_t> current_; // the current record, when it can be described
    std::size_t currentTag_ = 0;
    std::size_t currentFormat_ = 0;
};

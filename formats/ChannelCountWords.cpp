#include "formats/ChannelCountWords.h"

std::string ChannelCountWords(int channels) {
    return channels == 1   ? "mono"
           : channels == 2 ? "stereo"
                           : std::to_string(channels) + " channels";
}

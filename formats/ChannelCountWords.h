#pragma once
// A channel count as the texts of several formats say it: "mono", "stereo", "6 channels".
#include <string>

std::string ChannelCountWords(int channels);

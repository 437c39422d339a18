#include "engine/AlbumLoudness.h"

#include <cmath>
#include <string>
#include <string_view>

namespace {
constexpr std::string_view BlockPrefix = "loudness block ";
// Blocks more than 10 LU below the mean of those above the absolute gate are left out.
constexpr double RelativeGate = 0.1;

bool IsBlock(const std::string& name) {
    return name.starts_with(BlockPrefix);
}

double LoudnessOf(double energy) {
    return 10.0 * std::log10(energy) - 0.691;
}

template <typename Each> void ForEachBlock(const std::vector<const RowValues*>& tracks, Each each) {
    for (const RowValues* track : tracks) {
        for (auto at = track->lower_bound(BlockPrefix); at != track->end() && IsBlock(at->first);
             ++at) {
            each(at->second);
        }
    }
}
} // namespace

void PutLoudnessBlocks(RowValues& values, const std::vector<double>& blocks) {
    for (std::size_t block = 0; block < blocks.size(); ++block) {
        values.insert_or_assign(std::string(BlockPrefix) + std::to_string(block), blocks[block]);
    }
}

void DropLoudnessBlocks(RowValues& values) {
    std::erase_if(values, [](const auto& value) { return IsBlock(value.first); });
}

double AlbumLoudness(const std::vector<const RowValues*>& tracks) {
    double sum = 0;
    std::size_t count = 0;
    ForEachBlock(tracks, [&](double energy) {
        sum += energy;
        ++count;
    });
    if (count == 0) {
        return -HUGE_VAL;
    }
    const double threshold = sum / static_cast<double>(count) * RelativeGate;
    sum = 0;
    count = 0;
    ForEachBlock(tracks, [&](double energy) {
        if (energy >= threshold) {
            sum += energy;
            ++count;
        }
    });
    return LoudnessOf(sum / static_cast<double>(count));
}

#include "sources/SourceFactories.h"

#include <algorithm>
#include <array>
#include <utility>

#include "sources/CLReadDecodeMP3.h"
#include "sources/CLReadDecodeMp4.h"
#include "sources/CLReadDecodeStream.h"
#include "sources/CLReadDecodeWMA.h"
#include "sources/CLReadDecodeWave.h"

namespace {
template <class Source>
std::unique_ptr<CLReadDecodeBase> Make(const char* inputPath, const RowContext& row,
                                       ConversionError& code) {
    return std::make_unique<Source>(inputPath, row, code);
}

using Entry = std::pair<std::string_view, SourceFactory>;
constexpr std::array<Entry, 7> Factories = {{
    {"wav", Make<CLReadDecodeWave>},
    {"mp3", Make<CLReadDecodeMP3>},
    {"wma", Make<CLReadDecodeWMA>},
    {"flac", Make<CLReadDecodeStream>},
    {"opus", Make<CLReadDecodeStream>},
    {"ogg", Make<CLReadDecodeStream>},
    {"m4a", Make<CLReadDecodeMp4>},
}};
} // namespace

SourceFactory FindSourceFactory(std::string_view key) {
    const auto it = std::ranges::find(Factories, key, &Entry::first);
    return it == Factories.end() ? nullptr : it->second;
}

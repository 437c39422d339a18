#include "sources/SourceFactories.h"

#include <algorithm>
#include <array>
#include <utility>

#include "sources/Mp3Source.h"
#include "sources/Mp4Source.h"
#include "sources/WaveSource.h"
#include "sources/WmaSource.h"
#include "sources/XiphSource.h"

namespace {
template <class Source>
std::unique_ptr<AudioSource> Make(const char* inputPath, const RowContext& row,
                                  ConversionError& code) {
    return std::make_unique<Source>(inputPath, row, code);
}

using Entry = std::pair<std::string_view, SourceFactory>;
constexpr std::array<Entry, 7> Factories = {{
    {"wav", Make<WaveSource>},
    {"mp3", Make<Mp3Source>},
    {"wma", Make<WmaSource>},
    {"flac", Make<XiphSource>},
    {"opus", Make<XiphSource>},
    {"ogg", Make<XiphSource>},
    {"m4a", Make<Mp4Source>},
}};
} // namespace

SourceFactory FindSourceFactory(std::string_view key) {
    const auto it = std::ranges::find(Factories, key, &Entry::first);
    return it == Factories.end() ? nullptr : it->second;
}

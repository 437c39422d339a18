#include "sinks/SinkFactories.h"

#include <algorithm>
#include <array>
#include <utility>

#include "sinks/clFileOutputMp3.h"
#include "sinks/clFileOutputMp4.h"
#include "sinks/clFileOutputStream.h"
#include "sinks/clFileOutputWMA.h"
#include "sinks/clFileOutputWave.h"

namespace {
template <class Sink>
std::unique_ptr<clFileOutputBase> Make(const WAVEFORMATEX* pcmFormat, const RowContext& row,
                                       bool& ok) {
    return std::make_unique<Sink>(pcmFormat, row, ok);
}

using Entry = std::pair<std::string_view, SinkFactory>;
constexpr std::array<Entry, 8> Factories = {{
    {"wav", Make<clFileOutputWave>},
    {"mp3", Make<clFileOutputMp3>},
    {"wma", Make<clFileOutputWMA>},
    {"flac", Make<clFileOutputStream>},
    {"opus", Make<clFileOutputStream>},
    {"ogg", Make<clFileOutputStream>},
    {"m4a", Make<clFileOutputMp4>},
    {"alac", Make<clFileOutputMp4>},
}};
} // namespace

SinkFactory FindSinkFactory(std::string_view key) {
    const auto it = std::ranges::find(Factories, key, &Entry::first);
    return it == Factories.end() ? nullptr : it->second;
}

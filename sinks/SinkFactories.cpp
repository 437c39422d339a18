#include "sinks/SinkFactories.h"

#include <algorithm>
#include <array>
#include <utility>

#include "sinks/Mp3Sink.h"
#include "sinks/Mp4Sink.h"
#include "sinks/WaveSink.h"
#include "sinks/WmaSink.h"
#include "sinks/XiphSink.h"

namespace {
template <class Sink>
std::unique_ptr<AudioSink> Make(const WAVEFORMATEX* pcmFormat, const RowContext& row, bool& ok) {
    return std::make_unique<Sink>(pcmFormat, row, ok);
}

using Entry = std::pair<std::string_view, SinkFactory>;
constexpr std::array<Entry, 8> Factories = {{
    {"wav", Make<WaveSink>},
    {"mp3", Make<Mp3Sink>},
    {"wma", Make<WmaSink>},
    {"flac", Make<XiphSink>},
    {"opus", Make<XiphSink>},
    {"ogg", Make<XiphSink>},
    {"m4a", Make<Mp4Sink>},
    {"alac", Make<Mp4Sink>},
}};
} // namespace

SinkFactory FindSinkFactory(std::string_view key) {
    const auto it = std::ranges::find(Factories, key, &Entry::first);
    return it == Factories.end() ? nullptr : it->second;
}

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
std::unique_ptr<AudioSink> Make(const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok) {
    return std::make_unique<Sink>(inputFormat, row, ok);
}

template <class Sink> constexpr SinkKind Kind{Sink::Takes, Make<Sink>};

using Entry = std::pair<std::string_view, const SinkKind*>;
constexpr std::array<Entry, 8> Kinds = {{
    {"wav", &Kind<WaveSink>},
    {"mp3", &Kind<Mp3Sink>},
    {"wma", &Kind<WmaSink>},
    {"flac", &Kind<XiphSink>},
    {"opus", &Kind<XiphSink>},
    {"ogg", &Kind<XiphSink>},
    {"m4a", &Kind<Mp4Sink>},
    {"alac", &Kind<Mp4Sink>},
}};
} // namespace

const SinkKind* FindSinkKind(std::string_view key) {
    const auto it = std::ranges::find(Kinds, key, &Entry::first);
    return it == Kinds.end() ? nullptr : it->second;
}

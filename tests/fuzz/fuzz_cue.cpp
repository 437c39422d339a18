// Feeds arbitrary bytes to the cue sheet reader, as a sheet beside its audio and as a sheet
// stored in an audio file, and checks the plan it gives: tracks in order within each file, and
// a length check that never passes a track starting past the end.
#include <cstdint>
#include <string_view>

#include "cue/CueSheet.h"

namespace {
void CheckPlan(CueSheet& sheet) {
    const auto& tracks = sheet.Tracks();
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].end && *tracks[i].end <= tracks[i].start)
            __builtin_trap();
        if (i > 0 && tracks[i].audioPath == tracks[i - 1].audioPath &&
            tracks[i].start < tracks[i - 1].start)
            __builtin_trap();
    }
    if (!tracks.empty() && sheet.CheckLength(tracks.back().audioPath, tracks.back().start, 75))
        __builtin_trap();
    if (!sheet.Failed() || sheet.ErrorLine().empty())
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CueSheet beside = CueSheet::Parse(bytes, "/nonexistent/fuzz.cue");
    CheckPlan(beside);
    CueSheet embedded = CueSheet::Embedded(bytes, "/nonexistent/fuzz.flac");
    CheckPlan(embedded);
    return 0;
}

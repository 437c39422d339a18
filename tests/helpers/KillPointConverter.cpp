// Converts one file as a job does and stops for good at one moment of the row, after naming it on
// standard output, so that a test can kill it there:
//   bmc-kill-point writing|tagging|committing wav|mp3|wma INPUT OUTPUT
// An OUTPUT that exists may be replaced.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "catalog/FormatTable.h"
#include "engine/OpenAudioSource.h"
#include "engine/RowConverter.h"
#include "engine/WaveFormat.h"
#include "system/CodecModules.h"

namespace {
using Stage = RowConverter::Stage;

constexpr std::pair<const char*, Stage> StageNames[] = {
    {"writing", Stage::Writing}, {"tagging", Stage::Tagging}, {"committing", Stage::Committing}};

void StopHere(const char* name) {
    std::printf("%s\n", name);
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}

// Lines go to standard error; nothing else is needed of the row's report.
class LineReporter final : public RowReporter {
public:
    void Writes(const std::string&) override {}
    void Progress(double, uint32_t) override {}
    void Line(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
    void Verifying() override {}
    void Pending(PendingOutput) override {}
    void Wrote() override {}
    void Done(RowOutcome outcome, const RowValues&) override {
        failed = outcome != RowOutcome::Converted;
    }
    bool failed = false;
};
} // namespace

int main(int argc, char** argv) {
    const FormatInfo* target = argc == 5 ? FindTargetFormat(std::string_view(argv[2])) : nullptr;
    const auto* stage =
        std::find_if(std::begin(StageNames), std::end(StageNames),
                     [&](const auto& s) { return argc == 5 && !std::strcmp(s.first, argv[1]); });
    if (!target || stage == std::end(StageNames)) {
        std::fprintf(stderr,
                     "usage: bmc-kill-point writing|tagging|committing wav|mp3|wma INPUT OUTPUT\n");
        return 2;
    }
    ConversionSettings settings;
    settings.TargetFormat = target->Number;
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &pcm, sizeof pcm);
    CodecModules codecs;
    const JobEnvironment environment{codecs, ::pread, ""};
    RowConverter converter(settings, environment, OpenAudioSource);
    converter.SetStageHook([stage](Stage reached) {
        if (reached == stage->second) {
            StopHere(stage->first);
        }
    });
    LineReporter reporter;
    converter.Convert({argv[3], argv[4], true}, reporter, [] { return false; });
    return reporter.failed ? 1 : 0;
}

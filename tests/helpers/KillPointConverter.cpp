// Converts one file as brindlex-convert -j 1 does and stops for good at one moment of the row,
// after naming it on standard output, so that a test can kill it there:
//   bmc-kill-point writing|tagging|committing wav|mp3|wma INPUT OUTPUT
// An OUTPUT that exists may be replaced.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "cli/CliHost.h"
#include "engine/ConversionSettings.h"
#include "engine/TargetFormats.h"
#include "engine/WaveFormat.h"
#include "engine/trdConversion.h"
#include "sources/CreateFileInput.h"
#include "system/CodecModules.h"
#include "system/FileRoutines.h"

namespace {
using Stage = trdConversion::RowStage;

constexpr std::pair<const char*, Stage> StageNames[] = {
    {"writing", Stage::Writing}, {"tagging", Stage::Tagging}, {"committing", Stage::Committing}};

void StopHere(const char* name) {
    std::printf("%s\n", name);
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}
} // namespace

int main(int argc, char** argv) {
    const TargetFormatInfo* target =
        argc == 5 ? FindTargetFormat(std::string_view(argv[2])) : nullptr;
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
    const std::string input = argv[3];
    const std::string output = argv[4];
    PlannedRow row;
    row.Input = input;
    row.Output = output;
    CliHost host({row}, {false, true, false}, stderr);
    host.AllowReplacing(ReplaceableOutputs({output}, false));
    CodecModules codecs;
    const JobEnvironment environment{codecs};
    trdConversion worker(host, settings, environment, true, GetFileSizeOfName(input),
                         CreateFileInput);
    worker.SetStageHook([stage](Stage reached) {
        if (reached == stage->second) {
            StopHere(stage->first);
        }
    });
    worker.Start();
    while (worker.Running()) {
        worker.CheckSynchronize(std::chrono::milliseconds(25));
    }
    worker.WaitFor();
    return host.Errors().empty() ? 0 : 1;
}

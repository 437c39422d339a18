#include "cli/ConvertCommand.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "cli/InputList.h"
#include "cli/StoredChoices.h"
#include "cli/WaveFormatOption.h"
#include "engine/ConversionSettings.h"
#include "engine/JobPlan.h"
#include "engine/WmaAvailability.h"
#include "engine/trdConversion.h"
#include "sources/CreateFileInput.h"
#include "system/AppPaths.h"
#include "system/FileRoutines.h"
#include "system/HelpPages.h"

namespace {
volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void OnStopSignal(int signal) {
    caughtSignal = signal;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "brindlex-convert: %s\nTry 'brindlex-convert --help'.\n", message.c_str());
    return ExitUsage;
}

// Prepares the settings record for the job; false with a usage message.
bool PrepareSettings(const CliOptions& options, uint8_t target, std::string& error) {
    ConversionSettings& settings = Settings();
    settings.TargetFormat = target;
    settings.CopyTags = !options.noTags;
    WaveOutputFormatBuffer format{};
    if (options.waveFormat) {
        if (!WaveFormatFromText(*options.waveFormat, format, error)) {
            return false;
        }
    } else {
        LoadWaveOutputFormat(format);
    }
    settings.WaveOutputFormat = format;
    ApplyEncoderChoices(target, options);
    return true;
}

// Like the options form, a job that needs the WMA module is refused as a whole without it.
bool WmaAvailable(uint8_t target, const std::vector<std::string>& inputs) {
    const std::string refusal = WmaJobRefusal(target, inputs);
    if (refusal.empty()) {
        return true;
    }
    std::fprintf(stderr, "brindlex-convert: %s\n", refusal.c_str());
    return false;
}

std::vector<std::string> ExistingOutputs(const JobPlan& plan) {
    std::vector<std::string> existing;
    for (const std::size_t row : plan.ExistingOutputs()) {
        existing.push_back(plan.Rows()[row].Output);
    }
    return existing;
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

// Lists the outputs that exist; true when they may be replaced.
bool MayReplace(const std::vector<std::string>& existing, bool overwrite) {
    if (existing.empty()) {
        return true;
    }
    std::fprintf(stderr, "These outputs exist already:\n");
    for (const std::string& path : existing) {
        std::fprintf(stderr, "  %s\n", path.c_str());
    }
    if (overwrite) {
        return true;
    }
    if (!IsTerminal(stdin) || !IsTerminal(stderr)) {
        std::fprintf(stderr, "brindlex-convert: nothing converted; use --overwrite to replace "
                             "them.\n");
        return false;
    }
    std::fprintf(stderr, "Replace them? [y/N] ");
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") {
        return true;
    }
    std::fprintf(stderr, "Nothing converted.\n");
    return false;
}

uint64_t TotalSize(const std::vector<std::string>& inputs) {
    uint64_t total = 0;
    for (const std::string& input : inputs) {
        total += GetFileSizeOfName(input);
    }
    return total;
}

// Runs the worker on this thread's behalf; Ctrl-C asks it to stop. The caught signal, or 0.
int RunJob(CliHost& host, uint64_t totalBytes) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // The worker thread starts with the stop signals blocked, so this thread handles them.
    sigset_t stops, previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    trdConversion worker(host, false, totalBytes, CreateFileInput);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    bool asked = false;
    while (worker.Running()) {
        if (worker.CheckSynchronize(std::chrono::milliseconds(25))) {
            host.Refresh();
        }
        if (caughtSignal && !asked) {
            asked = true;
            host.Note("Cancelling...");
            worker.Terminate();
        }
    }
    worker.WaitFor();
    host.Finish();
    return caughtSignal;
}

int Report(const CliHost& host, int signal) {
    if (signal) {
        std::fprintf(stderr, "Conversion was cancelled.\n");
        return 128 + signal;
    }
    if (host.Errors().empty()) {
        std::fprintf(stderr, "All files have now been converted.\n");
        return ExitConverted;
    }
    std::fprintf(stderr, "The following problems were encountered:\n");
    for (const std::string& line : host.Errors()) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return ExitSomeFailed;
}
} // namespace

int RunConvertCommand(const std::vector<std::string>& args) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, options, error)) {
        return Usage(error);
    }
    if (options.help) {
        std::fputs(CliUsage().c_str(), stdout);
        if (const std::string page = AppFolder() + std::string(HelpPage); FileExists(page)) {
            std::printf("\nThe full help: %s\n", page.c_str());
        }
        return ExitConverted;
    }
    const uint8_t target = options.target ? *options.target : StoredTarget();
    std::vector<std::string> inputs;
    if (!CheckOptionsForTarget(options, target, error) ||
        !CollectInputs(options.inputs, options.recursive, inputs, error) ||
        !PrepareSettings(options, target, error)) {
        return Usage(error);
    }
    if (!WmaAvailable(target, inputs)) {
        return ExitNoWmaModule;
    }
    DestinationSettings destination{true, "", target};
    if (options.outputDir) {
        destination = {false, *options.outputDir, target};
    }
    const uint64_t totalBytes = TotalSize(inputs);
    const JobPlan plan(std::move(inputs), destination, RenameTable());
    if (!MayReplace(ExistingOutputs(plan), options.overwrite)) {
        return ExitOutputsExist;
    }
    CliHost host(plan.Rows(), IsTerminal(stderr), stderr);
    return Report(host, RunJob(host, totalBytes));
}

#include "cli/ConvertCommand.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <unistd.h>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "cli/CliJobRun.h"
#include "cli/CliOptions.h"
#include "cli/CliUsage.h"
#include "cli/DisplayObserver.h"
#include "cli/InputList.h"
#include "cli/JobDisplay.h"
#include "cli/MirrorCommand.h"
#include "cli/NumberOptions.h"
#include "cli/PresetChoice.h"
#include "cli/TargetDescription.h"
#include "cue/SheetInputs.h"
#include "engine/CodecCheck.h"
#include "engine/ConversionError.h"
#include "engine/ConverterChoices.h"
#include "engine/JobEnvironment.h"
#include "engine/JobPlan.h"
#include "engine/LoudnessValues.h"
#include "engine/OpenAudioSource.h"
#include "engine/RowConverter.h"
#include "jobs/JobController.h"
#include "jobs/OutputFolder.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/ReplaceableOutputs.h"
#include "jobs/StopSignals.h"
#include "jobs/ThreadRunner.h"
#include "jobs/WorkerMode.h"
#include "jobs/WorkerProcess.h"
#include "mirror/AudioDigestObserver.h"
#include "system/AppPaths.h"
#include "system/CodecModules.h"
#include "system/FileRoutines.h"
#include "system/HelpPages.h"
#include "system/SettingsStore.h"

namespace {
// The observers a job of this program may name to its worker processes.
AudioObserverFactory WorkerObservers(std::string_view name) {
    return name == AudioDigestObserver::Name ? AudioDigestObserver::Factory()
                                             : AudioObserverFactory();
}

void Say(const std::string& line) {
    std::fprintf(stderr, "brindlex-convert: %s\n", line.c_str());
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "brindlex-convert: %s\nTry 'brindlex-convert --help'.\n", message.c_str());
    return ExitUsage;
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

// What to tell, by target number, when a choice of that format kept between runs could not be
// used and another took its place.
using ReplacedChoices = std::map<uint8_t, std::string>;

// The settings record as the stored choices (and a preset over them) leave it.
ReplacedChoices LoadStoredSettings(const ConverterChoices& choices, ConversionSettings& settings,
                                   bool quiet) {
    if (StoreWasLocked() && !quiet) {
        Say("the settings store is in use by another program; using the default choices");
    }
    // Stored values that could not be used: said once a run, and no failure of the job.
    if (!quiet) {
        for (const std::string& notice : choices.Notices) {
            Say(notice);
        }
    }
    choices.ApplyTo(settings);
    ReplacedChoices replaced;
    for (const FormatInfo& format : Formats()) {
        if (format.TextOption) {
            if (std::string note = format.TextOption->LoadKept(settings); !note.empty()) {
                replaced[format.Number] = std::move(note);
            }
        }
    }
    return replaced;
}

// The target's kept choice that had to be replaced is said, unless the command line gives one.
void SayReplacedChoice(const CliOptions& options, const ReplacedChoices& replaced, uint8_t target) {
    const auto note = replaced.find(target);
    if (options.quiet || note == replaced.end()) {
        return;
    }
    const FormatInfo* format = FindTargetFormat(target);
    if (!options.texts.contains(std::string(format->TextOption->Flag))) {
        Say(note->second);
    }
}

// Puts the command line over the stored choices; false with a usage message.
bool ApplyOptions(const CliOptions& options, const ReplacedChoices& replaced,
                  ConversionSettings& settings, std::string& error) {
    if (options.target) {
        settings.TargetFormat = *options.target;
    }
    if (!CheckOptionsForTarget(options, settings.TargetFormat, error) ||
        !ApplyTextOptions(options, settings, error)) {
        return false;
    }
    SayReplacedChoice(options, replaced, settings.TargetFormat);
    ApplyEncoderOptions(options, settings);
    settings.CopyTags = !options.noTags;
    ApplyCoverOptions(options, settings);
    settings.ReplayGain = options.replayGain.value_or(settings.ReplayGain);
    settings.Verify = options.verify || (settings.Verify && !options.noVerify);
    return CheckSampleRate(settings, error);
}

// With -r and -o each output keeps its sub-folder below the output folder, unless --flat; with a
// library folder too, so that a part of the library lands where the whole library's job puts it.
bool KeepsTree(const CliOptions& options) {
    return (options.recursive || options.baseFolder) && options.outputDir && !options.flat;
}

// The job makes the folders below the output folder as each row starts.
bool MakesFolders(const CliOptions& options) {
    return KeepsTree(options) || options.namePattern;
}

DestinationSettings Destination(const CliOptions& options, uint8_t target) {
    DestinationSettings destination = options.outputDir
                                          ? DestinationSettings::Into(*options.outputDir, target)
                                          : DestinationSettings::NextToInputs(target);
    destination.NamePattern = options.namePattern.value_or("");
    destination.BaseFolder = options.baseFolder.value_or("");
    destination.SafeNames = options.safeNames;
    return destination;
}

// An output path as every machine of a shared job names it: relative to the output folder, or
// to the working folder when the outputs go next to their originals (whole when outside it).
std::string ShardKey(const std::string& output, const CliOptions& options) {
    std::string folder =
        options.outputDir ? *options.outputDir : std::filesystem::current_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return output.starts_with(folder) ? output.substr(folder.size()) : output;
}

// The job as planned, once: the collected inputs less those whose output falls in another
// shard and, with --skip-existing, those whose output exists.
struct CommandPlan {
    JobPlan plan;
    std::vector<std::string> subFolders; // per row, its folder below its folder argument
    std::size_t skipped = 0;             // rows left out because their output exists
    std::vector<std::string> failures;   // the lines of the cue sheets that cannot be split
};

CommandPlan PlanJob(const CollectedInputs& inputs, SplitInputs split, const CliOptions& options,
                    uint8_t target) {
    std::vector<std::string> subFolders;
    std::size_t skipped = 0;
    const auto keep = [&](std::size_t input, const PlannedRow& row) {
        if (options.shard && !options.shard->Holds(ShardKey(row.Output, options))) {
            return false;
        }
        if (options.skipExisting && row.OutputExists) {
            ++skipped;
            return false;
        }
        subFolders.push_back(inputs.subFolders[input]);
        return true;
    };
    JobPlan plan(inputs.paths, Destination(options, target), RenameTable(),
                 InputFolders(inputs.subFolders, KeepsTree(options)), keep, std::move(split.parts));
    return {std::move(plan), std::move(subFolders), skipped, std::move(split.failures)};
}

std::vector<std::string> RowInputs(const JobPlan& plan) {
    std::vector<std::string> inputs;
    for (const PlannedRow& row : plan.Rows()) {
        inputs.push_back(row.Input);
    }
    return inputs;
}

// Each row's input and output: a tab between them and a line break after, or a zero byte after
// each for names that may hold those.
void ListRows(const JobPlan& plan, bool nulSeparated) {
    for (const PlannedRow& row : plan.Rows()) {
        std::fputs(row.Input.c_str(), stdout);
        std::fputc(nulSeparated ? '\0' : '\t', stdout);
        std::fputs(row.Output.c_str(), stdout);
        std::fputc(nulSeparated ? '\0' : '\n', stdout);
    }
    std::fflush(stdout);
}

// Two inputs that would write one output: one result would be lost, so nothing starts.
void ReportClashes(const JobPlan& plan, bool treeWouldHelp) {
    Say("some outputs would be written from more than one input; nothing was converted:");
    for (const std::size_t row : plan.ClashingRows()) {
        const PlannedRow& clash = plan.Rows()[row];
        std::fprintf(stderr, "  %s <- %s and %s\n", clash.Output.c_str(),
                     plan.Rows()[*clash.SameOutputAs].Input.c_str(), clash.Input.c_str());
    }
    if (treeWouldHelp) {
        std::fprintf(stderr, "Without --flat each output keeps its sub-folder and none clash.\n");
    }
}

// With --flat and no naming pattern: whether the same rows, each output below its sub-folder,
// would write no output twice. A plan of what was not asked for, made only to say so when the job
// is refused.
bool KeepingTheTreeWouldHelp(const CommandPlan& job, const CliOptions& options, uint8_t target) {
    return options.flat && options.recursive && options.outputDir && !options.namePattern &&
           JobPlan(RowInputs(job.plan), Destination(options, target), RenameTable(), job.subFolders)
               .ClashingRows()
               .empty();
}

// The outputs that exist as the job is planned.
std::vector<std::string> ExistingOutputPaths(const JobPlan& plan) {
    std::vector<std::string> paths;
    for (const std::size_t row : plan.ExistingOutputs()) {
        paths.push_back(plan.Rows()[row].Output);
    }
    return paths;
}

// Lists the outputs that exist; true when they may be replaced.
bool MayReplace(const JobPlan& plan, bool overwrite, bool quiet) {
    const std::vector<std::size_t> existing = plan.ExistingOutputs();
    if (existing.empty()) {
        return true;
    }
    const bool ask = !overwrite && IsTerminal(stdin) && IsTerminal(stderr);
    if (!quiet || !overwrite) {
        std::fprintf(stderr, "These outputs exist already:\n");
        for (const std::size_t row : existing) {
            std::fprintf(stderr, "  %s\n", plan.Rows()[row].Output.c_str());
        }
    }
    if (overwrite) {
        return true;
    }
    if (!ask) {
        Say("nothing converted; use --overwrite to replace them or --skip-existing to leave "
            "them.");
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

// "Converting 14 files to <the target in words> into out/"
std::string FirstLine(std::size_t files, const CliOptions& options, bool keepTree,
                      const ConversionSettings& settings) {
    std::string where = "next to the originals";
    if (options.outputDir) {
        std::string folder = *options.outputDir;
        if (folder.back() != '/') {
            folder += '/';
        }
        where = "into " + folder + (keepTree ? ", keeping the folder tree" : "");
    }
    return "Converting " + std::to_string(files) + (files == 1 ? " file" : " files") + " to " +
           DescribeTarget(settings) + " " + where;
}

// verified: every output was verified before it took its name, so each converted file counts.
void PrintSummary(const JobResult& result, std::size_t skipped, bool verified = false) {
    std::string line = std::to_string(result.Converted) + " converted, ";
    if (verified) {
        line += std::to_string(result.Converted) + " verified, ";
    }
    line += std::to_string(result.Failed) + " failed, " + std::to_string(skipped) + " skipped";
    if (result.Unfinished > 0) {
        line += ", " + std::to_string(result.Unfinished) +
                (result.Stopped == JobResult::Stop::Cancelled ? " cancelled" : " not converted");
    }
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

// What the rows' measurements tell that is no failure: inputs left without a track gain.
void PrintNotices(const JobResult& result, const std::vector<PlannedRow>& rows) {
    for (std::size_t i = 0; i < result.Values.size() && i < rows.size(); ++i) {
        if (HadNoLoudness(result.Values[i])) {
            std::fprintf(stderr, "%s\n", NoLoudnessNotice(rows[i].Input).c_str());
        }
    }
}

int Report(JobResult result, const std::vector<PlannedRow>& rows, int signal, std::size_t skipped,
           bool quiet, bool verified, const std::vector<std::string>& failures = {}) {
    // Sheets that could not be split fail as their files would.
    result.Lines.insert(result.Lines.begin(), failures.begin(), failures.end());
    result.Failed += failures.size();
    if (!result.Lines.empty() && !quiet) {
        std::fprintf(stderr, "The following problems were encountered:\n");
    }
    for (const std::string& line : result.Lines) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!quiet) {
        PrintNotices(result, rows);
    }
    if (signal && !quiet) {
        std::fprintf(stderr, "Conversion was cancelled.\n");
    } else if (result.Lines.empty() && !quiet) {
        std::fprintf(stderr, "All files have now been converted.\n");
    }
    if (!quiet) {
        PrintSummary(result, skipped, verified);
    }
    if (signal) {
        return 128 + signal;
    }
    return result.Lines.empty() ? ExitConverted : ExitSomeFailed;
}

// The inputs the arguments name; an exit code when there are none to plan.
std::optional<int> CollectJobInputs(const CliOptions& options, CollectedInputs& inputs) {
    std::string error;
    if (!CollectInputs(options.inputs, options.recursive, options.from,
                       options.outputDir.value_or(""), inputs, error)) {
        return Usage(error);
    }
    if (inputs.paths.empty()) {
        std::fprintf(stderr, "No files are selected to be converted.\n");
        return ExitSomeFailed;
    }
    return std::nullopt;
}

// Every row left out by the shard or for an existing output: nothing to do, which is no failure.
std::optional<int> NothingToConvert(const CommandPlan& job, bool shard, bool quiet) {
    if (!job.plan.Rows().empty()) {
        return std::nullopt;
    }
    if (!job.failures.empty()) {
        return Report({}, {}, 0, job.skipped, quiet, false, job.failures);
    }
    if (!quiet) {
        std::fputs(shard && job.skipped == 0 ? "No file falls in this shard; nothing to convert.\n"
                                             : "Every output exists already; nothing to convert.\n",
                   stderr);
        PrintSummary({}, job.skipped);
    }
    return ExitConverted;
}

std::optional<int> RefuseClashes(const CommandPlan& job, const CliOptions& options,
                                 uint8_t target) {
    if (job.plan.ClashingRows().empty()) {
        return std::nullopt;
    }
    ReportClashes(job.plan, KeepingTheTreeWouldHelp(job, options, target));
    return ExitUsage;
}

std::optional<int> RefuseMissingCodecs(const JobPlan& plan, uint8_t target,
                                       const JobEnvironment& environment) {
    const std::vector<std::string> missing =
        MissingCodecModules(target, RowInputs(plan), environment.Codecs.Folders());
    if (missing.empty()) {
        return std::nullopt;
    }
    for (const std::string& line : missing) {
        Say(line);
    }
    Say("nothing was converted.");
    return ExitNoCodecModule;
}

// Made only now, so that a refused job leaves no folder behind.
std::optional<int> RefuseOutputFolder(const CliOptions& options) {
    if (options.outputDir) {
        if (const std::string failure = PrepareOutputFolder(*options.outputDir); !failure.empty()) {
            Say(failure + "; nothing was converted.");
            return ExitUsage;
        }
    }
    return std::nullopt;
}

// The checks between the plan and the job, in this order; the exit code of the first that stops
// it.
std::optional<int> CheckPlannedJob(const CommandPlan& job, const CliOptions& options,
                                   uint8_t target, const JobEnvironment& environment) {
    if (const std::optional<int> stop =
            NothingToConvert(job, options.shard.has_value(), options.quiet)) {
        return stop;
    }
    if (const std::optional<int> stop = RefuseClashes(job, options, target)) {
        return stop;
    }
    if (const std::optional<int> stop = RefuseMissingCodecs(job.plan, target, environment)) {
        return stop;
    }
    if (const std::optional<int> stop = RefuseOutputFolder(options)) {
        return stop;
    }
    if (!MayReplace(job.plan, options.overwrite, options.quiet)) {
        return ExitOutputsExist;
    }
    return std::nullopt;
}

int ConvertPlannedJob(const CommandPlan& job, const CliOptions& options,
                      const ConversionSettings& settings, const JobEnvironment& environment) {
    // Only what was listed, or anything with --overwrite: an output that appears later is kept.
    const ReplaceableOutputs replaceable(ExistingOutputPaths(job.plan), options.overwrite);
    if (!options.quiet) {
        // A naming pattern alone names the outputs: no tree is kept.
        const bool keepTree = KeepsTree(options) && !options.namePattern;
        std::fprintf(stderr, "%s\n",
                     FirstLine(job.plan.Rows().size(), options, keepTree, settings).c_str());
    }
    JobResult result;
    const int signal = RunCliJob(job.plan.Rows(), replaceable, options, MakesFolders(options),
                                 settings, environment, result);
    return Report(result, job.plan.Rows(), signal, job.skipped, options.quiet, settings.Verify,
                  job.failures);
}

// Everything before the job: inputs, plan, refusals. Nothing is written until all checks pass.
// splitEmbedded: FLAC files are split by their own cue sheets.
int RunJobFromOptions(const CliOptions& options, const ConversionSettings& settings,
                      bool splitEmbedded, const JobEnvironment& environment) {
    CollectedInputs inputs;
    if (const std::optional<int> stop = CollectJobInputs(options, inputs)) {
        return *stop;
    }
    SplitInputs split = SplitAlbums(inputs.paths, inputs.subFolders,
                                    {options.cueCharset.value_or(""), splitEmbedded});
    const CommandPlan job = PlanJob(inputs, std::move(split), options, settings.TargetFormat);
    if (options.list) {
        ListRows(job.plan, options.nulSeparated);
        return ExitConverted;
    }
    if (const std::optional<int> stop =
            CheckPlannedJob(job, options, settings.TargetFormat, environment)) {
        return *stop;
    }
    return ConvertPlannedJob(job, options, settings, environment);
}
} // namespace

int RunConvertCommand(const std::vector<std::string>& args, const JobEnvironment& environment) {
    if (args.size() == 1 && args.front() == WorkerProcess::Option) {
        return RunWorkerMode(environment, WorkerObservers) ? ExitConverted : ExitUsage;
    }
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, options, error)) {
        return Usage(error);
    }
    if (options.version) {
        std::printf("brindlex-convert %s\n", BMC_VERSION);
        return ExitConverted;
    }
    if (options.listPresets) {
        return ListPresets();
    }
    ConverterChoices choices;
    if (!StoredChoicesWithPreset(options, choices, error)) {
        return Usage(error);
    }
    ApplyPresetDestination(choices, options);
    ConversionSettings settings;
    const ReplacedChoices replaced = LoadStoredSettings(choices, settings, options.quiet);
    if (options.help) {
        std::fputs(CliUsage(settings).c_str(), stdout);
        if (const std::string page = AppFolder() + std::string(HelpPage); FileExists(page)) {
            std::printf("\nThe full help: %s\n", page.c_str());
        }
        return ExitConverted;
    }
    if (!ApplyOptions(options, replaced, settings, error)) {
        return Usage(error);
    }
    if (const std::optional<int> stop =
            RefuseUnwritablePreset(options, settings.TargetFormat, environment.Codecs.Folders())) {
        return *stop;
    }
    if (options.mirror) {
        return RunMirrorCommand(options, settings, environment);
    }
    const bool splitEmbedded = options.split || (choices.Split && !options.noSplit);
    return RunJobFromOptions(options, settings, splitEmbedded, environment);
}

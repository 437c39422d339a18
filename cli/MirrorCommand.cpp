#include "cli/MirrorCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/CliOptions.h"
#include "cli/ConvertCommand.h"
#include "cli/InputList.h"
#include "cli/MirrorLines.h"
#include "cli/MirrorRun.h"
#include "jobs/OutputFolder.h"
#include "jobs/SettingsFields.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPlan.h"
#include "mirror/MirrorRules.h"
#include "mirror/MirrorSources.h"

namespace {
namespace fs = std::filesystem;

void Say(const std::string& line) {
    std::fprintf(stderr, "brindlex-convert: %s\n", line.c_str());
}

DestinationSettings Destination(const CliOptions& options, const std::string& folder,
                                uint8_t target) {
    DestinationSettings destination = DestinationSettings::Into(folder, target);
    destination.NamePattern = options.namePattern.value_or("");
    destination.BaseFolder = options.baseFolder.value_or("");
    destination.SafeNames = options.safeNames;
    return destination;
}

MirrorSources::ShareHolds Share(const CliOptions& options) {
    if (!options.shard) {
        return {};
    }
    return [shard = *options.shard](const std::string& output) { return shard.Holds(output); };
}

// Each argument's files below it; a file named alone is below its own folder.
bool CollectSources(const CliOptions& options, MirrorSources& sources, std::string& error) {
    for (const std::string& argument : options.inputs) {
        CollectedInputs inputs;
        if (!CollectInputs({argument}, true, options.from, sources.Folder(), inputs, error)) {
            return false;
        }
        std::error_code ec;
        const std::string absolute = MirrorSources::Absolute(argument);
        const bool isFolder = fs::is_directory(argument, ec);
        const std::string root = isFolder ? absolute : fs::path(absolute).parent_path().string();
        sources.Add(root, isFolder, inputs.paths, inputs.subFolders);
    }
    return true;
}

// Two sources that would write one output: one would be lost, so nothing starts.
std::optional<int> RefuseClashes(const MirrorSources& sources) {
    const std::vector<MirrorSources::Clash> clashes = sources.Clashes();
    if (clashes.empty()) {
        return std::nullopt;
    }
    Say("some outputs would be written from more than one input; nothing was converted:");
    for (const MirrorSources::Clash& clash : clashes) {
        std::fprintf(stderr, "  %s <- %s and %s\n", clash.output.c_str(), clash.first.c_str(),
                     clash.second.c_str());
    }
    return ExitUsage;
}

std::optional<int> RefuseNesting(const MirrorSources& sources) {
    const std::string refusal = sources.NestingRefusal();
    if (refusal.empty()) {
        return std::nullopt;
    }
    Say(refusal);
    return ExitUsage;
}

MirrorRules Rules(const CliOptions& options, const ConversionSettings& settings) {
    return MirrorRules::For(settings, OutputSettingsFields(settings), options.copySame,
                            options.copyLossy);
}

int ShardNumber(const CliOptions& options) {
    return options.shard ? static_cast<int>(options.shard->Number) : 0;
}

int ShardCount(const CliOptions& options) {
    return options.shard ? static_cast<int>(options.shard->Count) : 0;
}

// The journal of the run, opened for it; an exit code when it cannot be used.
std::optional<int> OpenJournal(const CliOptions& options, const std::string& folder,
                               std::unique_ptr<MirrorJournal>& journal) {
    if (const std::string failure = PrepareOutputFolder(folder); !failure.empty()) {
        Say(failure + "; nothing was converted.");
        return ExitUsage;
    }
    journal = MirrorJournal::ForRun(folder, ShardNumber(options), ShardCount(options), false);
    if (!journal->Line().empty()) {
        Say(journal->Line());
    }
    if (journal->Usable()) {
        return std::nullopt;
    }
    return journal->GetState() == MirrorJournal::State::Busy ? ExitSomeFailed : ExitUsage;
}

// --list reads the journal only where there is one: listing makes nothing.
std::vector<MirrorRow> RowsToList(const CliOptions& options, const std::string& folder,
                                  bool& trusted) {
    trusted = false;
    const std::unique_ptr<MirrorJournal> journal =
        MirrorJournal::ForRun(folder, ShardNumber(options), ShardCount(options), true);
    if (!journal) {
        return {};
    }
    if (!journal->Line().empty()) {
        Say(journal->Line());
    }
    trusted = journal->Trusted();
    return journal->Rows();
}

int ListPlan(const MirrorPlan& plan, bool nulSeparated) {
    for (const MirrorItem& item : plan.Items()) {
        std::fputs(MirrorItemLine(plan, item, nulSeparated ? '\0' : '\t').c_str(), stdout);
        std::fputc(nulSeparated ? '\0' : '\n', stdout);
    }
    std::printf("%s\n", MirrorCountsLine(plan.Counts(), 0).c_str());
    std::fflush(stdout);
    return ExitConverted;
}

} // namespace

int RunMirrorCommand(const CliOptions& options, const ConversionSettings& settings,
                     const JobEnvironment& environment) {
    if (const std::string refusal = MirrorRules::Refusal(settings); !refusal.empty()) {
        Say(refusal);
        return ExitUsage;
    }
    const std::string folder = MirrorSources::Absolute(*options.outputDir);
    MirrorSources sources(folder, Destination(options, folder, settings.TargetFormat),
                          options.extras, Share(options));
    std::string error;
    if (!CollectSources(options, sources, error)) {
        std::fprintf(stderr, "brindlex-convert: %s\nTry 'brindlex-convert --help'.\n",
                     error.c_str());
        return ExitUsage;
    }
    if (const std::optional<int> stop = RefuseNesting(sources)) {
        return *stop;
    }
    if (const std::optional<int> stop = RefuseClashes(sources)) {
        return *stop;
    }
    const MirrorRules rules = Rules(options, settings);
    if (options.list) {
        bool trusted = false;
        std::vector<MirrorRow> rows = RowsToList(options, folder, trusted);
        const MirrorPlan plan(folder, sources.Files(), sources.Roots(), std::move(rows), trusted,
                              rules, environment);
        return ListPlan(plan, options.nulSeparated);
    }
    std::unique_ptr<MirrorJournal> journal;
    if (const std::optional<int> stop = OpenJournal(options, folder, journal)) {
        return *stop;
    }
    MirrorPlan plan(folder, sources.Files(), sources.Roots(), journal->Rows(), journal->Trusted(),
                    rules, environment);
    return MirrorRun(plan, *journal, options, settings, environment).Run();
}

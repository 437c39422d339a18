#include "cli/MirrorCommand.h"

#include <fnmatch.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "catalog/FormatTable.h"
#include "cli/CliOptions.h"
#include "cli/ConvertCommand.h"
#include "cli/InputList.h"
#include "cli/MirrorLines.h"
#include "cli/MirrorRun.h"
#include "engine/JobPlan.h"
#include "jobs/OutputFolder.h"
#include "jobs/SettingsFields.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPlan.h"
#include "system/FileNames.h"

namespace {
namespace fs = std::filesystem;

// How long a run waits for another that holds the journal before it says so.
constexpr int JournalWaitMs = 10000;

void Say(const std::string& line) {
    std::fprintf(stderr, "brindlex-convert: %s\n", line.c_str());
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    std::string absolute = fs::absolute(path, ec).lexically_normal().string();
    while (absolute.size() > 1 && absolute.back() == '/') {
        absolute.pop_back();
    }
    return absolute;
}

bool Within(const std::string& inner, const std::string& outer) {
    std::error_code ec;
    const std::string a = fs::weakly_canonical(inner, ec).string();
    const std::string b = fs::weakly_canonical(outer, ec).string();
    return a == b || a.starts_with(b == "/" ? b : b + "/");
}

// A mirror inside its sources would mirror itself; sources inside it would be deleted as orphans.
std::optional<int> RefuseNesting(const std::string& folder, const std::vector<std::string>& roots) {
    for (const std::string& root : roots) {
        if (Within(folder, root) || Within(root, folder)) {
            Say("the mirror's folder '" + folder + "' and the source folder '" + root +
                "' lie one inside the other; nothing was converted.");
            return ExitUsage;
        }
    }
    return std::nullopt;
}

DestinationSettings Destination(const CliOptions& options, const std::string& folder,
                                uint8_t target) {
    DestinationSettings destination = DestinationSettings::Into(folder, target);
    destination.NamePattern = options.namePattern.value_or("");
    destination.BaseFolder = options.baseFolder.value_or("");
    destination.SafeNames = options.safeNames;
    return destination;
}

struct Sources {
    std::vector<std::string> roots;
    std::vector<MirrorSource> files;
};

// The non-audio files below root whose names match one of the patterns, each copied into the
// folder its folder's first audio output went to (outputFolders, by folder below root).
void CollectExtras(const CliOptions& options, const std::string& root, const std::string& folder,
                   const std::map<std::string, std::string>& outputFolders, Sources& sources) {
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && Within(it->path().string(), folder)) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string name = it->path().filename().string();
        const bool matches = std::ranges::any_of(options.extras, [&](const std::string& pattern) {
            return fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
        });
        const std::string below = it->path().parent_path().lexically_relative(root).string();
        const std::string subFolder = below == "." ? "" : below + "/";
        const auto outputs = outputFolders.find(subFolder);
        if (matches && it->is_regular_file(ec) && outputs != outputFolders.end()) {
            MirrorSource extra{root, subFolder + name, outputs->second + name, true};
            if (!options.shard || options.shard->Holds(extra.output)) {
                sources.files.push_back(std::move(extra));
            }
        }
    }
}

// Each argument's files below it; a file named alone is below its own folder.
bool CollectSources(const CliOptions& options, const std::string& folder, uint8_t target,
                    Sources& sources, std::string& error) {
    const DestinationSettings destination = Destination(options, folder, target);
    for (const std::string& argument : options.inputs) {
        CollectedInputs inputs;
        if (!CollectInputs({argument}, true, options.from, folder, inputs, error)) {
            return false;
        }
        std::error_code ec;
        const std::string absolute = Absolute(argument);
        const bool isFolder = fs::is_directory(argument, ec);
        const std::string root = isFolder ? absolute : fs::path(absolute).parent_path().string();
        if (std::ranges::find(sources.roots, root) == sources.roots.end()) {
            sources.roots.push_back(root);
        }
        std::map<std::string, std::string> outputFolders;
        for (std::size_t i = 0; i < inputs.paths.size(); ++i) {
            const std::string& path = inputs.paths[i];
            const std::string output =
                JobPlan::OutputOf(path, destination, RenameTable(), inputs.subFolders[i]);
            MirrorSource source{root, inputs.subFolders[i] + GetFileNamePart(path),
                                fs::path(output).lexically_relative(folder).string()};
            outputFolders.emplace(inputs.subFolders[i], GetFolderPart(source.output));
            if (!options.shard || options.shard->Holds(source.output)) {
                sources.files.push_back(std::move(source));
            }
        }
        if (isFolder && !options.extras.empty()) {
            CollectExtras(options, root, folder, outputFolders, sources);
        }
    }
    return true;
}

std::string SettingsKey(const ConversionSettings& settings) {
    std::string key;
    for (const std::string& field : SettingsFields(settings)) {
        key += field + '\x1f';
    }
    return key;
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

MirrorRules Rules(const CliOptions& options, const ConversionSettings& settings) {
    MirrorRules rules;
    rules.settingsKey = SettingsKey(settings);
    rules.copyTags = settings.CopyTags;
    rules.copySame = options.copySame;
    rules.copyLossy = options.copyLossy;
    rules.targetKey = std::string(FindTargetFormat(settings.TargetFormat)->Key);
    rules.nowNs = NowNs();
    return rules;
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
    journal = std::make_unique<MirrorJournal>(folder, ShardNumber(options), ShardCount(options),
                                              JournalWaitMs);
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
    std::error_code ec;
    const std::string path =
        folder + "/" + MirrorJournal::FileName(ShardNumber(options), ShardCount(options));
    if (!fs::exists(path, ec)) {
        return {};
    }
    MirrorJournal journal(folder, ShardNumber(options), ShardCount(options), JournalWaitMs);
    if (!journal.Line().empty()) {
        Say(journal.Line());
    }
    trusted = journal.Trusted();
    return journal.Rows();
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
    const std::string folder = Absolute(*options.outputDir);
    Sources sources;
    std::string error;
    if (!CollectSources(options, folder, settings.TargetFormat, sources, error)) {
        std::fprintf(stderr, "brindlex-convert: %s\nTry 'brindlex-convert --help'.\n",
                     error.c_str());
        return ExitUsage;
    }
    if (const std::optional<int> stop = RefuseNesting(folder, sources.roots)) {
        return *stop;
    }
    const MirrorRules rules = Rules(options, settings);
    if (options.list) {
        bool trusted = false;
        std::vector<MirrorRow> rows = RowsToList(options, folder, trusted);
        const MirrorPlan plan(folder, sources.files, sources.roots, std::move(rows), trusted, rules,
                              environment);
        return ListPlan(plan, options.nulSeparated);
    }
    std::unique_ptr<MirrorJournal> journal;
    if (const std::optional<int> stop = OpenJournal(options, folder, journal)) {
        return *stop;
    }
    MirrorPlan plan(folder, sources.files, sources.roots, journal->Rows(), journal->Trusted(),
                    rules, environment);
    return MirrorRun(plan, *journal, options, settings, environment).Run();
}

#pragma once
// What a mirror run will do, decided for every source and every journal row before anything is
// written: the front ends show it (--list, the window's confirmation) and MirrorWriter carries it
// out. Nothing here writes or prints.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/JobEnvironment.h"
#include "mirror/FileState.h"
#include "mirror/MirrorDecision.h"
#include "mirror/MirrorRow.h"
#include "mirror/MirrorRules.h"
#include "mirror/SourceDigests.h"

// One file of a source folder, and the output the naming gives it.
struct MirrorSource {
    std::string root;     // the source folder, absolute
    std::string relative; // below root
    std::string output;   // relative to the mirror's folder
    bool extra = false;   // a non-audio file copied beside the outputs

    std::string Path() const { return root + "/" + relative; }
};

struct MirrorItem {
    std::string root;
    std::string source; // below root
    std::string output; // relative to the mirror's folder: where it goes, or what is deleted
    // For a rename: the name the output has now.
    std::string oldOutput;
    std::optional<MirrorRow> row;
    MirrorVerdict verdict;
    bool copied = false;
    bool extra = false;
    std::string settingsKey;
    FileState sourceState;
    // Taken while deciding, kept for the row written once the output is.
    std::shared_ptr<SourceDigests> digests;

    std::string SourcePath() const { return root + "/" + source; }
    MirrorAction Action() const { return verdict.action; }
};

class MirrorPlan {
public:
    // folder: the mirror's folder, absolute. roots: the run's source folders, absolute; rows of
    // other roots are left alone. rows: the journal's, trusted when it is (MirrorJournal).
    MirrorPlan(std::string folder, const std::vector<MirrorSource>& sources,
               const std::vector<std::string>& roots, std::vector<MirrorRow> rows, bool trusted,
               const MirrorRules& rules, const JobEnvironment& environment);

    const std::string& Folder() const { return folder_; }
    const JobEnvironment& Environment() const { return environment_; }
    const std::vector<MirrorItem>& Items() const { return items_; }
    std::vector<MirrorItem>& Items() { return items_; }
    bool JournalTrusted() const { return trusted_; }
    // How many items take each action, by MirrorAction.
    std::array<std::size_t, 8> Counts() const;

    static bool IsJournalName(const std::string& name);

private:
    using Scan = std::unordered_map<std::string, FileState>;

    // An item of that source, its state looked at; its digests taken only when asked for.
    MirrorItem NewItem(std::string root, std::string source, std::string output) const;
    void DecideSource(const MirrorSource& source);
    std::optional<MirrorRow> RowOf(const MirrorSource& source) const;
    void DecideOrphan(const MirrorRow& row);
    MirrorFacts Facts(MirrorItem& item, const std::string& outputName) const;
    FileState OutputState(const std::string& output) const;
    std::string OutputPath(const std::string& output) const { return folder_ + "/" + output; }

    std::string folder_;
    MirrorRules rules_;
    const JobEnvironment& environment_;
    bool trusted_;
    Scan scan_;
    std::unordered_map<std::string, MirrorRow> rowsBySource_;
    // Rows of folders not in this run, by output: a library moved elsewhere finds its outputs.
    std::unordered_map<std::string, std::string> rowsElsewhere_;
    std::vector<std::string> roots_;
    std::vector<MirrorItem> items_;
};

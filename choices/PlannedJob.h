#pragma once
// What the options window checks before a job starts, without its windows: where each output
// goes (next to its input, into the chosen folder, or below it keeping the folder tree as the
// command line's "-r -o" does), which outputs several inputs would write, whether keeping the tree
// would part them, whether the chosen folder is there, and which outputs are their own inputs.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/DestinationSettings.h"
#include "engine/JobPlan.h"
#include "engine/RenameTable.h"

class PlannedJob {
public:
    // subFolders: per input, its folder below the marked folder it came from ("" or "a/b/").
    // keepTree counts only when the outputs go into a chosen folder. parts: per input, the part
    // of it its row converts (JobPlan).
    PlannedJob(std::vector<std::string> inputs, std::vector<std::string> subFolders,
               DestinationSettings destination, bool keepTree,
               std::vector<std::optional<RowPart>> parts = {});

    bool KeepsTree() const { return keepTree_ && !destination_.SameFolder; }
    JobPlan Plan(const RenameTable& renames = RenameTable()) const;
    // The outputs go into folders below the chosen one that the job makes as each row starts:
    // a kept tree, or those a naming pattern names.
    bool MakesFolders() const;

    // Each output that more than one input would write, with those inputs, one line each:
    // "OUTPUT  <-  FIRST INPUT, SECOND INPUT".
    std::vector<std::string> ClashLines() const;
    // The outputs go flat into a chosen folder, and keeping the tree would part every clash.
    bool KeepingTheTreeWouldHelp() const;

    // Why the chosen folder cannot be used as typed (empty, or not a full path); empty when it
    // can, or when the outputs go next to their inputs.
    std::string FolderRefusal() const;
    // The chosen folder is not there (and the outputs go into it).
    bool FolderMissing() const;
    // Why the naming pattern cannot be used, as the command line words it; empty when it can, or
    // when no pattern names the outputs (none given, or they go next to their inputs).
    std::string NamingRefusal() const;

    // The output is the input file itself: replacing it replaces the original.
    static bool IsOriginalItself(const PlannedRow& row);

private:
    std::vector<std::string> inputs_;
    std::vector<std::string> subFolders_;
    DestinationSettings destination_;
    bool keepTree_;
    std::vector<std::optional<RowPart>> parts_;
};

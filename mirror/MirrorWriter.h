#pragma once
// Carries out a mirror plan's decisions, keeping the journal in step with every file it writes:
// a pending row before an output is written, the finished row (with the output's size, time and
// digest as written) once it is in place. Conversions run elsewhere (the job's runner); this does
// what needs no encoder: deleting, moving, copying and rewriting tags. Nothing here prints.
#include <chrono>
#include <optional>
#include <set>
#include <string>

#include "catalog/ConversionSettings.h"
#include "engine/RowValues.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPlan.h"

class MirrorWriter {
public:
    MirrorWriter(MirrorPlan& plan, MirrorJournal& journal, const ConversionSettings& settings);

    // The item's output is made by the job's encoder.
    static bool Encodes(const MirrorItem& item);
    // The item writes or deletes something.
    static bool Writes(const MirrorItem& item);

    // Before anything is written, in one commit: the pending rows of the items that write, and
    // the rows of skips adopted, refreshed or forgotten. False when the journal refused it.
    bool Prepare();
    // Does an item that needs no encoder; false with the line that says why not.
    bool Carry(MirrorItem& item, std::string& line);
    // The job's encoder made the item's output, values being what its observer measured: its
    // row is finished (and a renamed item's old output goes). False with a line when the
    // journal could not take it.
    bool Encoded(const MirrorItem& item, const RowValues& values, std::string& line);
    // Commits the finished rows not yet committed; false when the journal refused them.
    bool Flush();
    // Removes the folders that deletions and moves left empty, up to the mirror's folder.
    void RemoveEmptiedFolders();

private:
    std::optional<MirrorRow> FinishedRow(const MirrorItem& item) const;
    bool Finish(const MirrorItem& item, std::string& line);
    bool Stored(bool recorded, std::string& line);
    void Hold();
    bool Delete(const MirrorItem& item, std::string& line);
    bool Move(const MirrorItem& item, std::string& line);
    bool Copy(const MirrorItem& item, std::string& line);
    bool Retag(const MirrorItem& item, std::string& line);
    RowValues Measured(const std::string& source) const;
    void Vacated(const std::string& output);
    std::string PathOf(const std::string& output) const { return plan_.Folder() + "/" + output; }

    MirrorPlan& plan_;
    MirrorJournal& journal_;
    const ConversionSettings& settings_;
    std::set<std::string> vacated_;
    std::optional<MirrorJournal::Batch> held_;
    std::chrono::steady_clock::time_point heldSince_;
};

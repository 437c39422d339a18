#pragma once
// The options form's mirror job, before and around the conversion its driver runs: the sources
// from the conversion list (each marked folder a source folder, its tree kept below the chosen
// folder), refused when two would write one output or when the chosen folder and a source
// folder lie one inside the other; the journal; the plan, made off the GUI thread as it reads
// digests; the confirmation of what is deleted and what kept; then the run (MirrorPass), whose
// encoder rows the driver's job converts.
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "choices/JobOrder.h"
#include "engine/JobEnvironment.h"
#include "mirror/MirrorJournal.h"
#include "mirror/MirrorPass.h"
#include "mirror/MirrorPlan.h"
#include "mirror/MirrorSources.h"

class QWidget;

class MirrorJob {
public:
    MirrorJob(QWidget& window, const JobEnvironment& environment);
    MirrorJob(const MirrorJob&) = delete;
    MirrorJob& operator=(const MirrorJob&) = delete;
    ~MirrorJob();

    // Everything before the run, each refusal told in a box: true when the run may start.
    bool Ready(const JobOrder& order, const ConversionSettings& settings);
    // The run's journal rows before anything is written, then the items that need no encoder
    // (off the GUI thread); false when the journal refused.
    bool Start();
    MirrorPass& Pass() { return *pass_; }
    // What the run did: "3 converted, 1 retagged, 0 copied, 1 deleted, 0 failed."; verified: its
    // outputs were verified, which the count of converted files says again ("3 verified").
    QString Counts(bool verified = false) const;
    // What was said of the journal (set aside, rebuilt); empty when nothing.
    const std::string& JournalLine() const { return journalLine_; }

private:
    bool CollectSources(const JobOrder& order);
    bool OpenJournal(bool onlyExisting);
    void MakePlan();
    bool Confirmed();
    void Refuse(const std::string& line);

    QWidget& window_;
    const JobEnvironment& environment_;
    ConversionSettings settings_;
    std::optional<MirrorSources> sources_;
    std::unique_ptr<MirrorJournal> journal_;
    std::unique_ptr<MirrorPlan> plan_;
    std::unique_ptr<MirrorPass> pass_;
    std::string journalLine_;
};

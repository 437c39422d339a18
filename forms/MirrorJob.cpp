#include "forms/MirrorJob.h"

#include <QMessageBox>
#include <QWidget>
#include <map>

#include "forms/AppMessage.h"
#include "forms/BusyCursor.h"
#include "forms/ClashQuestion.h"
#include "forms/MirrorConfirmDialog.h"
#include "forms/WhileWindowGoesOn.h"
#include "jobs/SettingsFields.h"
#include "mirror/MirrorRules.h"

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A line worded for the command line ("the mirror's folder ...") as a sentence of its own.
QString Sentence(const std::string& line) {
    QString sentence = Text(line);
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
    }
    return sentence;
}

// One line per clashing output, every source that would write it: "OUTPUT  <-  A, B".
std::vector<std::string> ClashLines(const std::vector<MirrorSources::Clash>& clashes) {
    std::map<std::string, std::string> lines;
    std::vector<std::string> order;
    for (const MirrorSources::Clash& clash : clashes) {
        auto [line, added] = lines.try_emplace(clash.output, clash.output + "  <-  " + clash.first);
        if (added) {
            order.push_back(clash.output);
        }
        line->second += ", " + clash.second;
    }
    std::vector<std::string> result;
    for (const std::string& output : order) {
        result.push_back(lines[output]);
    }
    return result;
}
} // namespace

MirrorJob::MirrorJob(QWidget& window, const JobEnvironment& environment)
    : window_(window), environment_(environment) {}

MirrorJob::~MirrorJob() = default;

bool MirrorJob::Ready(const JobOrder& order, const ConversionSettings& settings) {
    settings_ = settings;
    if (const std::string refusal = MirrorRules::Refusal(settings); !refusal.empty()) {
        AppMessage(&window_, QMessageBox::Warning, Sentence(refusal));
        return false;
    }
    if (!CollectSources(order) || !OpenJournal(true)) {
        return false;
    }
    MakePlan();
    return Confirmed() && (journal_ || OpenJournal(false));
}

bool MirrorJob::CollectSources(const JobOrder& order) {
    std::vector<std::string> extras;
    std::string bad;
    if (!MirrorSources::ExtraPatterns(order.Choices.MirrorExtras, extras, bad)) {
        AppMessage(&window_, QMessageBox::Warning,
                   QStringLiteral("The extras to copy must be patterns of file names separated "
                                  "by commas, not '%1'.")
                       .arg(Text(bad)));
        return false;
    }
    DestinationSettings destination = order.Destination;
    destination.Folder = MirrorSources::Absolute(destination.Folder);
    sources_.emplace(destination.Folder, destination, std::move(extras));
    // The rows of each marked folder, in the list's order.
    std::vector<std::string> roots;
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> files;
    for (std::size_t row = 0; row < order.Inputs.size(); ++row) {
        const std::string root = MirrorSources::RootOf(order.Inputs[row], order.SubFolders[row]);
        auto [group, added] = files.try_emplace(root);
        if (added) {
            roots.push_back(root);
        }
        group->second.first.push_back(order.Inputs[row]);
        group->second.second.push_back(order.SubFolders[row]);
    }
    for (const std::string& root : roots) {
        sources_->Add(root, true, files[root].first, files[root].second);
    }
    if (const std::string refusal = sources_->NestingRefusal(); !refusal.empty()) {
        AppMessage(&window_, QMessageBox::Warning, Sentence(refusal));
        return false;
    }
    if (const auto clashes = sources_->Clashes(); !clashes.empty()) {
        AskAboutClashes(window_, ClashLines(clashes), false);
        return false;
    }
    return true;
}

// Before the confirmation only a journal that is there is opened: going back makes nothing.
bool MirrorJob::OpenJournal(bool onlyExisting) {
    journal_ = MirrorJournal::ForRun(sources_->Folder(), 0, 0, onlyExisting);
    if (!journal_) {
        return true;
    }
    if (!journal_->Line().empty()) {
        journalLine_ = journal_->Line();
    }
    if (!journal_->Usable()) {
        Refuse(journal_->Line().empty() ? "Unable to write to '" + journal_->Path() + "'."
                                        : journal_->Line());
        journal_.reset();
        return false;
    }
    return true;
}

void MirrorJob::Refuse(const std::string& line) {
    AppMessage(&window_, QMessageBox::Critical,
               Sentence(line) + QStringLiteral("\n\nNothing was converted."));
}

void MirrorJob::MakePlan() {
    const MirrorRules rules =
        MirrorRules::For(settings_, OutputSettingsFields(settings_), false, false);
    std::vector<MirrorRow> rows = journal_ ? journal_->Rows() : std::vector<MirrorRow>{};
    const bool trusted = journal_ && journal_->Trusted();
    const BusyCursor busy;
    window_.setEnabled(false);
    WhileWindowGoesOn([&] {
        plan_ =
            std::make_unique<MirrorPlan>(sources_->Folder(), sources_->Files(), sources_->Roots(),
                                         std::move(rows), trusted, rules, environment_);
    });
    window_.setEnabled(true);
}

bool MirrorJob::Confirmed() {
    MirrorConfirmDialog confirm(&window_);
    bool asked = false;
    for (const MirrorItem& item : plan_->Items()) {
        const bool deleted = item.Action() == MirrorAction::Delete;
        if (deleted || item.Action() == MirrorAction::Keep) {
            confirm.AddFile(plan_->Folder() + "/" + item.output, deleted,
                            deleted ? "its original was removed" : item.verdict.reason);
            asked = true;
        }
    }
    return !asked || confirm.Ask();
}

bool MirrorJob::Start() {
    pass_ = std::make_unique<MirrorPass>(*plan_, *journal_, settings_);
    if (!pass_->Prepare()) {
        return false;
    }
    WhileWindowGoesOn([this] { pass_->CarryWithoutEncoder(); });
    return true;
}

QString MirrorJob::Counts(bool verified) const {
    const MirrorReport& report = pass_->Report();
    const std::size_t converted =
        report.Done(MirrorAction::Convert) + report.Done(MirrorAction::Reconvert);
    QString counts = QStringLiteral("%1 converted").arg(converted);
    if (verified) {
        counts += QStringLiteral(", %1 verified").arg(converted);
    }
    counts += QStringLiteral(", %1 retagged, %2 copied")
                  .arg(report.Done(MirrorAction::Retag))
                  .arg(report.Done(MirrorAction::Copy));
    if (const std::size_t renamed = report.Done(MirrorAction::Rename); renamed > 0) {
        counts += QStringLiteral(", %1 renamed").arg(renamed);
    }
    return counts + QStringLiteral(", %1 deleted, %2 failed.")
                        .arg(report.Done(MirrorAction::Delete))
                        .arg(report.Failed());
}

#include "forms/ProgressView.h"

#include <QLabel>
#include <QTreeWidget>
#include <algorithm>
#include <string>

#include "engine/JobPlan.h"
#include "engine/ProgressFigures.h"
#include "forms/ApplicationTitle.h"
#include "forms/FormPictures.h"
#include "forms/PathLabel.h"
#include "jobs/JobProgress.h"

namespace {
constexpr QSize BarSize(FullBarWidth, 15);

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

ProgressView::ProgressView(const Controls& controls, const QWidget& window) : controls_(controls) {
    for (QLabel* bar : {controls_.fileBar, controls_.totalBar}) {
        bar->setPixmap(FormPictures::Pixmap(QStringLiteral("bar.svg"), BarSize, &window));
    }
    controls_.writing->SetFullText(controls_.writing->text());
}

void ProgressView::Start() {
    controls_.counter->clear();
    SetBarWidth(controls_.fileBar, 0);
    SetBarWidth(controls_.totalBar, 0);
    ApplicationTitle::Set(Text(ProgressTitle(0)));
    controls_.writing->SetFullText(QStringLiteral("Preparing to convert..."));
    controls_.timeRemaining->clear();
}

void ProgressView::Show(const JobProgress& progress, const std::vector<PlannedRow>* rows,
                        bool cancelling, bool leadVerifying) {
    controls_.counter->setText(Text("Converted " + std::to_string(progress.Settled) + " of " +
                                    std::to_string(progress.Rows)));
    int32_t fileBar = 0;
    if (progress.Lead) {
        const JobProgress::Slot& lead = progress.Slots.at(*progress.Lead);
        SelectRow(*lead.Row, rows);
        if (rows && *lead.Row < rows->size()) {
            const std::string step = leadVerifying ? "Verifying '" : "Writing '";
            controls_.writing->SetFullText(Text(step + (*rows)[*lead.Row].Output + "'"));
        }
        fileBar = ClampBarWidth(FileBarWidth(lead.Percent));
    }
    const int32_t total = ClampBarWidth(TotalBarWidth(progress.BytesDone, progress.BytesTotal));
    if (!cancelling) {
        SetBarWidth(controls_.totalBar, total);
        ApplicationTitle::Set(Text(ProgressTitle(total)));
    }
    SetBarWidth(controls_.fileBar, fileBar);
    if (progress.SecondsLeft) {
        controls_.timeRemaining->setText(Text(TimeRemainingText(*progress.SecondsLeft)));
    }
}

void ProgressView::SelectRow(std::size_t row, const std::vector<PlannedRow>* rows) {
    QTreeWidget* list = controls_.rows;
    const auto pathOf = [](const QTreeWidgetItem* item) {
        return item->data(0, Qt::UserRole).toByteArray().toStdString();
    };
    QTreeWidgetItem* item = list->topLevelItem(static_cast<int>(row));
    if (rows && row < rows->size() && item && pathOf(item) != (*rows)[row].Input) {
        item = nullptr;
        for (int i = 0; i < list->topLevelItemCount() && !item; ++i) {
            if (pathOf(list->topLevelItem(i)) == (*rows)[row].Input) {
                item = list->topLevelItem(i);
            }
        }
    }
    if (item) {
        list->setCurrentItem(item);
        list->scrollToItem(item);
    }
}

void ProgressView::SetBarWidth(QLabel* bar, int32_t width) {
    bar->resize(std::clamp(width, 0, FullBarWidth), BarSize.height());
}

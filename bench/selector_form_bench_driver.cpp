// Times the file selector window off screen on a prepared folder (see selector-bench):
//   refresh FOLDER   moving from the folder above to FOLDER in the tree until its file list is
//                    painted
//   expand FOLDER    opening FOLDER the first time until its sub-folders are painted
//   next FOLDER      with FOLDER marked with its sub-folders: from Next until the options form
//                    with the list of files to convert is painted
// Each makes a fresh window five times, as the selector-bench driver does, and prints the first
// run and the best, in milliseconds of wall time.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include "forms/AppForms.h"
#include "forms/FileSelectorWindow.h"
#include "forms/OptionsForm.h"

namespace {
FolderTree::Locations Only(const std::string& folder) {
    FolderTree::Locations locations;
    locations.root = folder;
    return locations;
}

template <typename T = QWidget> T* Control(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1String(name));
}

void Paint(QWidget* widget) {
    QCoreApplication::processEvents();
    widget->grab();
}

// Runs make (a fresh window, untimed) then work five times; work returns what it counted.
void Report(const char* what, const std::function<void()>& make, const std::function<int()>& work) {
    double first = 0;
    double best = 1e300;
    int count = 0;
    for (int i = 0; i < 5; ++i) {
        make();
        QElapsedTimer clock;
        clock.start();
        count = work();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        first = i == 0 ? ms : first;
        best = std::min(best, ms);
    }
    std::printf("%-40s %6d items  first %7.1f ms  best %7.1f ms\n", what, count, first, best);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: %s refresh|expand|next FOLDER\n", argv[0]);
        return 2;
    }
    const QString mode = args[1];
    std::string folder = args[2].toStdString();
    std::unique_ptr<AppForms> forms;
    QTreeWidget* tree = nullptr;
    auto fresh = [&] {
        forms.reset();
        forms = std::make_unique<AppForms>(Only(folder));
        forms->Options().OnEndProgram = [] {};
        FileSelectorWindow& selector = forms->Selector();
        selector.resize(1024, 700);
        selector.show();
        tree = Control<QTreeWidget>(&selector, "treeFolders");
        Paint(&selector);
    };

    if (mode == "refresh") {
        // The window opens on the folder above, whose list is read then; the step moves to the
        // folder itself, so that its list is read while timed.
        const QString name = QString::fromStdString(std::filesystem::path(folder).filename());
        folder = std::filesystem::path(folder).parent_path();
        QTreeWidgetItem* target = nullptr;
        Report(
            "window: select a folder (file list)",
            [&] {
                fresh();
                tree->topLevelItem(0)->setExpanded(true);
                const QList<QTreeWidgetItem*> found =
                    tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
                target = found.isEmpty() ? nullptr : found.front();
                Paint(tree);
            },
            [&] {
                tree->setCurrentItem(target);
                auto* list = Control<QTreeWidget>(&forms->Selector(), "lstFiles");
                Paint(list);
                return target ? list->topLevelItemCount() : -1;
            });
    } else if (mode == "expand") {
        Report("window: open a folder the first time", fresh, [&] {
            tree->topLevelItem(0)->setExpanded(true);
            Paint(tree);
            return tree->topLevelItem(0)->childCount();
        });
    } else if (mode == "next") {
        Report(
            "window: Next to the options form",
            [&] {
                fresh();
                // Space marks the current folder with its sub-folders, as a click would.
                tree->setFocus();
                tree->setCurrentItem(tree->topLevelItem(0));
                QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier,
                                QStringLiteral(" "));
                QCoreApplication::sendEvent(tree, &space);
            },
            [&] {
                Control<QAbstractButton>(&forms->Selector(), "cmdNext")->click();
                OptionsForm& options = forms->Options();
                Paint(&options);
                const auto* rows = Control<QTreeWidget>(&options, "lstConvert");
                return options.isVisible() ? rows->topLevelItemCount() : -1;
            });
    } else {
        std::fprintf(stderr, "unknown mode %s\n", argv[1]);
        return 2;
    }
    return 0;
}

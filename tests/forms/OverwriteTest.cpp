// The overwrite confirmation: cancelling, skipping, renaming through in-place editing, and the
// renames it refuses because they would lose a file nobody was asked about.
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "engine/RenameTable.h"
#include "forms/OverwriteDialog.h"

using namespace formtest;

namespace {
QTreeWidget* ListOf(QDialog* dialog) {
    return Child<QTreeWidget>(dialog, "lstExisting");
}

// Gives row a new caption the way a user does: select it, F2, type, Enter.
void Rename(QDialog* dialog, int row, const std::string& caption) {
    QTreeWidget* list = ListOf(dialog);
    QApplication::setActiveWindow(dialog); // back from a message box, as the desktop does
    list->setCurrentItem(list->topLevelItem(row));
    QTest::keyClick(list, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(row, 0)));
    QVERIFY(editor);
    editor->setText(QString::fromStdString(caption));
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the edit in a queued call.
    QCoreApplication::processEvents();
    QCOMPARE(list->topLevelItem(row)->text(0), QString::fromStdString(caption));
}

struct Job {
    Scratch scratch;
    Forms forms;
    std::string out = scratch / "out/";

    // Inputs a.wav, b.wav...; their MP3 outputs exist already with "old <name>" in them, but for
    // those of the fresh names, which come after them.
    explicit Job(const std::vector<std::string>& names,
                 const std::vector<std::string>& fresh = {}) {
        std::filesystem::create_directory(out);
        std::vector<std::string> inputs;
        for (const std::string& name : names) {
            MakeTone(scratch / (name + ".wav"), 0.3);
            inputs.push_back(scratch / (name + ".wav"));
            std::ofstream(out + name + ".mp3") << "old " << name;
        }
        for (const std::string& name : fresh) {
            MakeTone(scratch / (name + ".wav"), 0.3);
            inputs.push_back(scratch / (name + ".wav"));
        }
        forms.ShowWith(inputs);
        forms.Control<QAbstractButton>("chkFormatMp3")->click();
        forms.Control<QAbstractButton>("chkToThisFold")->click();
        forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(out));
    }
};
} // namespace

void OverwriteTest::noCancelLeavesEverythingAsItWas() {
    Job job({"a"});
    ModalAnswerer answers;
    answers.Then([&](QDialog* dialog) {
        QTreeWidget* list = ListOf(dialog);
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QString::fromStdString(job.out + "a"));
        QCOMPARE(list->topLevelItem(0)->text(1), "MP3 File");
        // A right click opens the menu only on a selected row; "&Rename" edits it.
        auto* menu = dialog->findChild<QMenu*>();
        list->clearSelection();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, 100));
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        QVERIFY(menu->isVisible());
        menu->hide();
        menu->defaultAction()->trigger();
        auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(0, 0)));
        QVERIFY(editor);
        editor->setText(QString::fromStdString(job.out + "renamed"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(list->topLevelItem(0)->text(0), QString::fromStdString(job.out + "renamed"));
        ModalAnswerer::ClickButton(dialog, "&No, Cancel");
    });
    job.forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Title, "Brindlex Music Converter - Overwrite Existing File(s)?");
    QCOMPARE(job.forms.All().Overwrite().Renames().Count(), std::size_t{0});
    QVERIFY(!job.forms.Control("panOptions")->isHidden());
    QVERIFY(job.forms.Control("panProgress")->isHidden());
    QVERIFY(job.forms.Control("cmdConvert")->isEnabled());
    QCOMPARE(ReadFile(job.out + "a.mp3"), "old a");
    QVERIFY(!std::filesystem::exists(job.out + "renamed.mp3"));
}

void OverwriteTest::renameWritesTheNewName() {
    Job job({"a", "b"});
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* dialog) {
            Rename(dialog, 1, job.out + "b-new");
            ModalAnswerer::ClickButton(dialog, "&Yes");
        })
        .Click("OK");
    job.forms.Convert();
    QCOMPARE(answers.Seen().at(1).Text, "All files have now been converted.");
    QCOMPARE(ReadFile(job.out + "b.mp3"), "old b");
    QCOMPARE(Probe(job.out + "b-new.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
    QCOMPARE(Probe(job.out + "a.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
}

void OverwriteTest::refusesRenamesThatLoseAFile() {
    Job job({"a", "b"});
    std::ofstream(job.out + "other.mp3") << "someone's file";
    std::vector<QString> refusals;
    const auto note = [&](QDialog* box) {
        refusals.push_back(qobject_cast<QMessageBox*>(box)->text());
        ModalAnswerer::ClickButton(box, "OK");
    };
    ModalAnswerer answers;
    answers.Then([&](QDialog* dialog) {
        Rename(dialog, 0, job.out + "other"); // an existing file
        ModalAnswerer::ClickButton(dialog, "&Yes");
        Rename(dialog, 0, ""); // empty
        ModalAnswerer::ClickButton(dialog, "&Yes");
        Rename(dialog, 0, job.out + "same");
        Rename(dialog, 1, job.out + "same"); // another row's new name
        ModalAnswerer::ClickButton(dialog, "&Yes");
        QVERIFY(dialog->isVisible());
        ModalAnswerer::ClickButton(dialog, "&No, Cancel");
    });
    answers.Then(note).Then(note).Then(note);
    job.forms.Convert();
    QCOMPARE(refusals.size(), std::size_t{3});
    QVERIFY(refusals[0].startsWith(
        QString::fromStdString("'" + job.out + "other.mp3' already exists.")));
    QVERIFY(refusals[1].contains("is empty"));
    QVERIFY(refusals[2].startsWith(QString::fromStdString(
        "'" + job.out + "same.mp3' is already the new name of another file.")));
    QCOMPARE(job.forms.All().Overwrite().Renames().Count(), std::size_t{0});
    QCOMPARE(ReadFile(job.out + "other.mp3"), "someone's file");
    QCOMPARE(ReadFile(job.out + "a.mp3"), "old a");
}

// A new name without a folder stays beside the output it renames, whatever the program's working
// folder: the editor starts on the name alone, the row then shows the whole new path, and a
// folder that does not exist is refused.
void OverwriteTest::newNamesStayBesideTheirOutputs() {
    Job job({"a", "b", "c"});
    const std::string cwd = job.scratch / "cwd";
    std::filesystem::create_directory(cwd);
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(cwd));
    QString selectedAtFirst;
    QStringList shown;
    QString refusal;
    ModalAnswerer answers;
    answers.Then([&](QDialog* dialog) {
        QTreeWidget* list = ListOf(dialog);
        const auto type = [&](int row, const QString& text) {
            QApplication::setActiveWindow(dialog);
            list->setCurrentItem(list->topLevelItem(row));
            QTest::keyClick(list, Qt::Key_F2);
            auto* editor =
                qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(row, 0)));
            QVERIFY(editor);
            if (row == 0) {
                selectedAtFirst = editor->selectedText();
            }
            editor->selectAll();
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
            // The view commits in a queued call, and the row shows the full path after that.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            shown.append(list->topLevelItem(row)->text(0));
        };
        type(0, "Opening renamed");
        type(1, "../x");
        type(2, "nope/y");
        ModalAnswerer::ClickButton(dialog, "&Yes");
        QVERIFY(dialog->isVisible());
        type(2, "c"); // back to its own name: no rename
        ModalAnswerer::ClickButton(dialog, "&Yes");
    });
    answers.Then([&](QDialog* box) {
        refusal = qobject_cast<QMessageBox*>(box)->text();
        ModalAnswerer::ClickButton(box, "OK");
    });
    answers.Click("OK");
    job.forms.Convert();
    QDir::setCurrent(before);
    QCOMPARE(selectedAtFirst, "a");
    QCOMPARE(shown, QStringList({QString::fromStdString(job.out + "Opening renamed"),
                                 QString::fromStdString(job.scratch / "x"),
                                 QString::fromStdString(job.out + "nope/y"),
                                 QString::fromStdString(job.out + "c")}));
    QCOMPARE(refusal, QString::fromStdString("The folder '" + job.out +
                                             "nope' does not exist. Please choose another name "
                                             "for '" +
                                             job.out + "c.mp3'."));
    QCOMPARE(answers.Seen().back().Text, "All files have now been converted.");
    const std::string mp3 = "codec_name=mp3\nsample_rate=44100\nchannels=2\n";
    QCOMPARE(Probe(job.out + "Opening renamed.mp3"), mp3);
    QCOMPARE(Probe(job.scratch / "x.mp3"), mp3);
    QCOMPARE(Probe(job.out + "c.mp3"), mp3);
    QCOMPARE(ReadFile(job.out + "a.mp3"), "old a");
    QCOMPARE(ReadFile(job.out + "b.mp3"), "old b");
    QVERIFY(std::filesystem::is_empty(cwd));
}

// Long paths give way in their middle with the whole path as tooltip, the name column takes the
// room the type leaves, and the type's width is kept from one run to the next.
void OverwriteTest::pathsReadableAndTypeWidthKept() {
    Scratch scratch;
    const std::string out = scratch / "a-rather-long-folder-name/that-goes-on-and-on/and-on/";
    std::filesystem::create_directories(out);
    MakeTone(scratch / "a.wav", 0.3);
    std::ofstream(out + "a.mp3") << "old a";
    QString tooltip;
    {
        Forms forms;
        forms.ShowWith({scratch / "a.wav"});
        forms.Control<QAbstractButton>("chkFormatMp3")->click();
        forms.Control<QAbstractButton>("chkToThisFold")->click();
        forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(out));
        ModalAnswerer answers;
        answers.Then([&](QDialog* dialog) {
            QTreeWidget* list = ListOf(dialog);
            tooltip = list->topLevelItem(0)->toolTip(0);
            QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
            QCOMPARE(list->columnWidth(0) + list->columnWidth(1), list->viewport()->width());
            list->setColumnWidth(1, 123);
            ModalAnswerer::ClickButton(dialog, "&No, Cancel");
        });
        forms.Convert();
        QCOMPARE(tooltip, QString::fromStdString(out + "a.mp3"));
        // The options form's list: the input's whole path as tooltip.
        auto* converting = forms.Control<QTreeWidget>("lstConvert");
        QCOMPARE(converting->topLevelItem(0)->toolTip(0),
                 QString::fromStdString(scratch / "a.wav"));
        converting->setColumnWidth(1, 77);
    }
    Forms forms;
    QCOMPARE(Child<QTreeWidget>(&forms.All().Overwrite(), "lstExisting")->columnWidth(1), 123);
    QCOMPARE(forms.Control<QTreeWidget>("lstConvert")->columnWidth(1), 77);
}

// "&Skip These" converts the others and leaves each listed file as it was, and the end says how
// many were skipped; when every output is listed, nothing is converted.
void OverwriteTest::skipTheseLeavesThemAndConvertsTheRest() {
    Job job({"a", "b"}, {"c"});
    QString heading;
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* dialog) {
            heading = Child<QLabel>(dialog, "lblExistingCount")->text();
            QCOMPARE(Child<QAbstractButton>(dialog, "cmdSkip")->accessibleName(), "Skip These");
            ModalAnswerer::ClickButton(dialog, "&Skip These");
        })
        .Click("OK");
    job.forms.Convert();
    QCOMPARE(heading, "2 of 3 outputs exist already");
    QCOMPARE(answers.Seen().at(1).Text, "All files have now been converted.\n\n"
                                        "2 files were skipped, as their outputs exist already.");
    QCOMPARE(ReadFile(job.out + "a.mp3"), "old a");
    QCOMPARE(ReadFile(job.out + "b.mp3"), "old b");
    QCOMPARE(Probe(job.out + "c.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");

    Job all({"a"});
    answers.Click("&Skip These").Click("OK");
    all.forms.Convert();
    QCOMPARE(answers.Seen().back().Text, "Every output exists already; nothing was converted.");
    QCOMPARE(ReadFile(all.out + "a.mp3"), "old a");
    QVERIFY(!all.forms.Control("panOptions")->isHidden());
    QCOMPARE(all.forms.endProgram + all.forms.backToSelector, 0);
}

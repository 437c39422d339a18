// The overwrite confirmation: cancelling, renaming through in-place editing, and the renames it
// refuses because they would lose a file nobody was asked about.
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "engine/RenameTable.h"
#include "forms/TfrmOverWriteFile.h"

using namespace formtest;

namespace {
QTreeWidget* ListOf(QDialog* dialog) {
    return Child<QTreeWidget>(dialog, "ListView1");
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

    // Inputs a.wav, b.wav...; their MP3 outputs exist already with "old <name>" in them.
    explicit Job(const std::vector<std::string>& names) {
        std::filesystem::create_directory(out);
        std::vector<std::string> inputs;
        for (const std::string& name : names) {
            MakeTone(scratch / (name + ".wav"), 0.3);
            inputs.push_back(scratch / (name + ".wav"));
            std::ofstream(out + name + ".mp3") << "old " << name;
        }
        forms.ShowWith(inputs);
        forms.Control<QAbstractButton>("chkMp3")->click();
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
    QVERIFY(!job.forms.Control("Panel2")->isHidden());
    QVERIFY(job.forms.Control("Panel3")->isHidden());
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

// The mirror through the options form: its box and extras kept in the settings store and greyed
// without "This Folder", and runs that keep a folder of sox-made FLAC files in step, with the
// confirmation of what is deleted and kept, and the counts at the end.
#include <QAccessible>
#include <QLineEdit>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "system/SettingsStore.h"

using namespace formtest;

namespace {
void Store(const char* name, uint32_t value) {
    StoreWriteNumber(value, StoreRoot::User, SettingsKey, name);
}

// Each listed output's name (below the mirror's folder), action and reason, then the answer.
ModalAnswerer::Answer ReadChanges(QStringList& rows, const QString& answer) {
    return [&rows, answer](QDialog* confirm) {
        const auto* list = Child<QTreeWidget>(confirm, "lstMirrorChanges");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list->topLevelItem(i);
            rows.append(row->text(0).section('/', -1) + " | " + row->text(1) + " | " +
                        row->text(2));
        }
        ModalAnswerer::ClickButton(confirm, answer);
    };
}
} // namespace

void MirrorFormTest::boxIsStoredAndGreyedWithoutThisFolder() {
    Scratch scratch;
    {
        Forms forms;
        auto* mirror = forms.Control<QAbstractButton>("chkMirror");
        auto* extras = forms.Control<QLineEdit>("txtMirrorExtras");
        QVERIFY(!mirror->isChecked());
        QCOMPARE(extras->text(), "cover.jpg,folder.jpg,*.png");
        QVERIFY(!mirror->isEnabled());
        QVERIFY(!extras->isEnabled());
        forms.Control<QAbstractButton>("chkToThisFold")->click();
        QVERIFY(mirror->isEnabled());
        QVERIFY(!extras->isEnabled()); // the extras count only with the box
        mirror->click();
        QVERIFY(extras->isEnabled());
        extras->setText("cover.jpg");
        for (QWidget* control : {static_cast<QWidget*>(mirror), static_cast<QWidget*>(extras)}) {
            QVERIFY(
                !QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty());
        }
        forms.Control<QAbstractButton>("optToDefPath")->click();
        QVERIFY(!mirror->isEnabled());
        QVERIFY(!extras->isEnabled());
        QVERIFY(mirror->isChecked()); // greyed, not forgotten
    }
    QCOMPARE(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvMirror"), 1u);
    const ConverterChoices stored = ConverterChoices::Load();
    QVERIFY(stored.Mirror);
    QCOMPARE(stored.MirrorExtras, std::string("cover.jpg"));
    // No extras at all is a choice of its own, not the default.
    StoreWriteText("", StoreRoot::User, SettingsKey, "BrConvMirrorExtras");
    QCOMPARE(ConverterChoices::Load().MirrorExtras, std::string());
}

void MirrorFormTest::aSecondRunConfirmsWhatItDeletesAndKeeps() {
    Scratch scratch;
    const std::string lib = scratch / "lib";
    const std::string phone = scratch / "phone";
    std::filesystem::create_directories(lib + "/a");
    std::filesystem::create_directories(phone);
    for (const char* name : {"one", "two", "a/three"}) {
        MakeTone(lib + "/" + name + ".flac", 0.5);
    }
    Run("metaflac --set-tag=TITLE=Three '" + lib + "/a/three.flac'");
    Store("BrConvToLocOpt", 1);
    StoreWriteText(phone, StoreRoot::User, SettingsKey, "BrConvToFolder");
    Store("BrConvMirror", 1);
    Store("BrConvJobs", 1);
    Forms forms;
    forms.Control<QAbstractButton>("chkFormatOpus")->click();
    const auto convert = [&](ModalAnswerer& answers) {
        forms.ShowWithFolder(lib + "/");
        forms.Convert();
        QVERIFY(answers.AllAnswered());
    };
    {
        ModalAnswerer answers;
        answers.Click("OK");
        convert(answers);
        QCOMPARE(answers.Seen().size(), std::size_t{1}); // nothing to delete: no question
        QCOMPARE(answers.Seen()[0].Text, "3 converted, 0 retagged, 0 copied, 0 deleted, 0 failed.");
    }
    QCOMPARE(Probe(phone + "/a/three.opus"), "codec_name=opus\nsample_rate=48000\nchannels=2\n");

    // One original removed, one output changed by hand, one original's tags changed.
    std::filesystem::remove(lib + "/two.flac");
    const std::string one = phone + "/one.opus";
    std::ofstream(one, std::ios::app) << "mine";
    Run("metaflac --remove-tag=TITLE --set-tag=TITLE=Drei '" + lib + "/a/three.flac'");
    // The journal's rows, as python's own SQLite reads them.
    const auto journalRows = [&] {
        return Run("python3 -c \"import sqlite3,sys; print(list(sqlite3.connect(sys.argv[1])"
                   ".execute('select * from outputs order by output')))\" '" +
                   phone + "/.brindlex-mirror.db'");
    };
    const std::string journal = journalRows();
    QVERIFY(journal.find("three.opus") != std::string::npos);
    const std::string three = ReadFile(phone + "/a/three.opus");
    const QStringList expected = {"one.opus | Keep | changed since the mirror wrote it",
                                  "two.opus | Delete | its original was removed"};
    {
        QStringList rows;
        ModalAnswerer answers;
        answers.Then(ReadChanges(rows, "&No, Cancel"));
        convert(answers);
        QCOMPARE(rows, expected);
        QCOMPARE(answers.Seen().size(), std::size_t{1});
        QVERIFY(forms.Control("cmdConvert")->isEnabled()); // back at the options
    }
    QVERIFY(std::filesystem::exists(phone + "/two.opus"));
    QCOMPARE(ReadFile(phone + "/a/three.opus"), three);
    QCOMPARE(journalRows(), journal);
    {
        QStringList rows;
        ModalAnswerer answers;
        answers.Then(ReadChanges(rows, "&Yes")).Click("OK");
        convert(answers);
        QCOMPARE(rows, expected);
        QCOMPARE(answers.Seen().back().Text,
                 "0 converted, 1 retagged, 0 copied, 1 deleted, 0 failed.");
    }
    QVERIFY(!std::filesystem::exists(phone + "/two.opus"));
    QVERIFY(ReadFile(one).ends_with("mine"));
    QVERIFY(Run("ffprobe -v error -show_entries format_tags=title:stream_tags=title -of "
                "default=nw=1:nk=1 '" +
                phone + "/a/three.opus'")
                .starts_with("Drei"));
}

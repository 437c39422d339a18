// What the options form settles before a job starts: outputs that several inputs would write
// (and the folder tree that parts them), a chosen folder that is not there, and existing outputs
// that are their own inputs.
#include <QLineEdit>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "system/AppPaths.h"
#include "system/SettingsStore.h"

using namespace formtest;

namespace {
const std::string Mp3 = "codec_name=mp3\nsample_rate=44100\nchannels=2\n";

void IntoFolder(Forms& forms, const char* format, const std::string& folder) {
    forms.Control<QAbstractButton>(format)->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(folder));
}

// The texts of the visible buttons of a box.
QStringList Buttons(QDialog* box) {
    QStringList texts;
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
        if (button->isVisible()) {
            texts.append(button->text());
        }
    }
    texts.sort();
    return texts;
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}
} // namespace

// Two albums with a track of one name into one folder: listed with their inputs; "Go Back"
// converts nothing, "Keep Folder Tree" writes each below the folder as its album lies below the
// marked folder, and the choice is kept.
void PlanBeforeJobTest::clashesOfferTheFolderTree() {
    Scratch scratch;
    std::filesystem::create_directories(scratch / "lib/A");
    std::filesystem::create_directories(scratch / "lib/B");
    std::filesystem::create_directories(scratch / "out");
    MakeTone(scratch / "lib/A/01 Intro.wav", 0.3);
    MakeTone(scratch / "lib/B/01 Intro.wav", 0.3);
    MakeTone(scratch / "lib/top.wav", 0.3);
    {
        Forms forms;
        forms.ShowWithFolder(scratch / "lib/");
        IntoFolder(forms, "chkFormatMp3", scratch / "out/");
        ModalAnswerer answers;
        QStringList offered;
        answers.Then([&](QDialog* box) {
            offered = Buttons(box);
            ModalAnswerer::ClickButton(box, "&Go Back");
        });
        forms.Convert();
        QCOMPARE(answers.Seen().size(), std::size_t{1});
        const QString text = answers.Seen()[0].Text;
        QVERIFY(text.contains(QString::fromStdString((scratch / "out/01 Intro.mp3") + "  <-  " +
                                                     (scratch / "lib/A/01 Intro.wav") + ", " +
                                                     (scratch / "lib/B/01 Intro.wav"))) ||
                text.contains(QString::fromStdString((scratch / "out/01 Intro.mp3") + "  <-  " +
                                                     (scratch / "lib/B/01 Intro.wav") + ", " +
                                                     (scratch / "lib/A/01 Intro.wav"))));
        QCOMPARE(offered, QStringList({"&Go Back", "&Keep Folder Tree"}));
        QVERIFY(!Exists(scratch / "out/01 Intro.mp3"));
        QVERIFY(!forms.Control("panOptions")->isHidden());
        QVERIFY(!forms.Control<QAbstractButton>("chkKeepTree")->isChecked());

        answers.Click("&Keep Folder Tree").Click("OK");
        forms.Convert();
        QCOMPARE(answers.Seen().at(2).Text, "All files have now been converted.");
        QCOMPARE(Probe(scratch / "out/A/01 Intro.mp3"), Mp3);
        QCOMPARE(Probe(scratch / "out/B/01 Intro.mp3"), Mp3);
        QCOMPARE(Probe(scratch / "out/top.mp3"), Mp3); // the marked folder's own files
        QVERIFY(!Exists(scratch / "out/01 Intro.mp3"));
        QVERIFY(forms.Control<QAbstractButton>("chkKeepTree")->isChecked());
    }
    QCOMPARE(StoreReadNumber(StoreRoot::User, SettingsKey, "BrConvKeepTree"), 1u);

    // With the tree kept, files ticked one by one go to the folder itself.
    Forms forms;
    MakeTone(scratch / "single.wav", 0.3);
    forms.ShowWith({scratch / "single.wav"});
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(scratch / "out"));
    ModalAnswerer answers;
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(Probe(scratch / "out/single.mp3"), Mp3);
}

// "x.wav" and "x.mp3" to WMA in their own folder: no tree parts them, so only "Go Back".
void PlanBeforeJobTest::clashesTheTreeCannotPartOnlyGoBack() {
    Scratch scratch;
    MakeTone(scratch / "x.wav", 0.3);
    std::ofstream(scratch / "x.mp3") << "not read: the plan comes first";
    Forms forms;
    forms.ShowWith({scratch / "x.wav", scratch / "x.mp3"});
    forms.Control<QAbstractButton>("chkFormatWma")->click();
    ModalAnswerer answers;
    QStringList offered;
    answers.Then([&](QDialog* box) {
        offered = Buttons(box);
        ModalAnswerer::ClickButton(box, "&Go Back");
    });
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QVERIFY(answers.Seen()[0].Text.contains(QString::fromStdString(
        (scratch / "x.wma") + "  <-  " + (scratch / "x.mp3") + ", " + (scratch / "x.wav"))));
    QCOMPARE(offered, QStringList({"&Go Back"}));
    QVERIFY(!Exists(scratch / "x.wma"));
    QCOMPARE(forms.backToSelector + forms.endProgram, 0);
}

// A typed folder that is not there: No returns to the form and makes nothing; Yes makes it with
// its parents and the job writes into it. A folder that is not a full path is refused.
void PlanBeforeJobTest::aMissingFolderIsMadeOnYes() {
    Scratch scratch;
    MakeTone(scratch / "in.wav", 0.3);
    const std::string folder = scratch / "new/deeper";
    Forms forms;
    forms.ShowWith({scratch / "in.wav"});
    IntoFolder(forms, "chkFormatMp3", "relative/out");
    ModalAnswerer answers;
    answers.Click("OK");
    forms.Convert();
    QVERIFY(answers.Seen().at(0).Text.startsWith("The folder 'relative/out' is not a full path"));
    QVERIFY(!Exists("relative"));

    forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(folder));
    answers.Click("&No");
    forms.Convert();
    QCOMPARE(answers.Seen().at(1).Text,
             QString::fromStdString("The folder '" + folder + "' does not exist. Create it?"));
    QVERIFY(!Exists(scratch / "new"));
    QVERIFY(!forms.Control("panOptions")->isHidden());

    answers.Click("&Yes").Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().at(3).Text, "All files have now been converted.");
    QCOMPARE(Probe(folder + "/in.mp3"), Mp3);

    // A file where the folder should be: said before anything starts.
    std::ofstream(scratch / "plain") << "a file";
    forms.ShowWith({scratch / "in.wav"});
    forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(scratch / "plain"));
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().at(4).Text,
             QString::fromStdString("'" + (scratch / "plain") + "' is not a folder."));
    QCOMPARE(forms.endProgram, 1);
}

// The same format into the same folder replaces the original: its row says so; an output that
// is another file is listed plainly.
void PlanBeforeJobTest::theOriginalItselfIsMarked() {
    Scratch scratch;
    std::ofstream(scratch / "a.mp3") << "an original";
    std::ofstream(scratch / "b.wav") << "another original";
    std::ofstream(scratch / "b.mp3") << "an older output";
    Forms forms;
    forms.ShowWith({scratch / "a.mp3", scratch / "b.wav"});
    forms.Control<QAbstractButton>("chkFormatMp3")->click();
    ModalAnswerer answers;
    QStringList types;
    answers.Then([&](QDialog* dialog) {
        auto* list = Child<QTreeWidget>(dialog, "lstExisting");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            types.append(list->topLevelItem(row)->text(1));
        }
        ModalAnswerer::ClickButton(dialog, "&No, Cancel");
    });
    forms.Convert();
    QCOMPARE(types, QStringList({"MP3 File (the original itself)", "MP3 File"}));
    QCOMPARE(ReadFile(scratch / "a.mp3"), "an original");
}

// A pattern that cannot be read is refused on Convert in the command line's words, before
// anything is asked or written; next to the originals no pattern names the outputs.
void PlanBeforeJobTest::aBadNamingPatternIsRefusedAndWritesNothing() {
    Scratch scratch;
    std::filesystem::create_directories(scratch / "out");
    MakeTone(scratch / "in.wav", 0.3);
    Forms forms;
    forms.ShowWith({scratch / "in.wav"});
    IntoFolder(forms, "chkFormatMp3", scratch / "out/");
    forms.Control<QLineEdit>("txtNamePattern")->setText("{artst}/{title}");
    ModalAnswerer answers;
    answers.Then([](QDialog* box) {
        QCOMPARE(QApplication::activeModalWidget(), box);
        ModalAnswerer::ClickButton(box, "OK");
    });
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    const QString refusal = answers.Seen()[0].Text;
    QCOMPARE(refusal, "Naming pattern '{artst}/{title}': unknown field name 'artst' at byte 1.");
    const std::string told = Run(BMC_BINARY_DIR "/brindlex-convert -o '" + (scratch / "out") +
                                 "' --name '{artst}/{title}' '" + (scratch / "in.wav") + "' 2>&1");
    QVERIFY2(QString::fromStdString(told).contains(refusal), told.c_str());
    QVERIFY(std::filesystem::is_empty(scratch / "out"));
    QVERIFY(!forms.Control("panOptions")->isHidden());
    QCOMPARE(forms.endProgram, 0);

    forms.Control<QAbstractButton>("optToDefPath")->click();
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().at(1).Text, "All files have now been converted.");
    QCOMPARE(Probe(scratch / "in.mp3"), Mp3);
}

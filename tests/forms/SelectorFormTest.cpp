// The file selector through its widgets: marks by mouse and keyboard with their pointer shapes
// and descriptions, expansion, the list of files to convert handed to the options form, files
// handed over by other launches, the buttons, the resize bar and the about box.
#include <QAccessible>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "catalog/FormatTable.h"
#include "forms/ApplicationTitle.h"
#include "forms/FileListWindow.h"
#include "forms/FileSelectorWindow.h"
#include "forms/FormatControls.h"
#include "forms/MakerPages.h"
#include "forms/StateImageDelegate.h"
#include "forms/VersionText.h"
#include "system/AppPaths.h"
#include "system/HandOverChannel.h"
#include "system/HelpPages.h"

using namespace formtest;

namespace {
QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The desktop's opener as the tests have it: an xdg-open first on PATH that writes each address
// it is given into a file and ends with the status given (3: no program for web pages).
class StandInOpener {
public:
    StandInOpener(const Scratch& scratch, int status)
        : record_(scratch / "opened"), oldPath_(qgetenv("PATH")) {
        const std::string bin = scratch / ("opener-bin-" + std::to_string(status));
        std::filesystem::create_directories(bin);
        std::ofstream(bin + "/xdg-open")
            << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << record_ << "'\nexit " << status << "\n";
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        qputenv("PATH", QByteArray::fromStdString(bin) + ":" + oldPath_);
    }
    ~StandInOpener() { qputenv("PATH", oldPath_); }
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    QList<QUrl> Opened() const {
        QList<QUrl> urls;
        for (const QString& line : Q(ReadFile(record_)).split('\n', Qt::SkipEmptyParts)) {
            urls.append(QUrl(line));
        }
        return urls;
    }

private:
    std::string record_;
    QByteArray oldPath_;
};

// The forms as the program makes them, with the selector's one top-level folder "music" in a
// scratch folder:
//   A/a1.mp3 A/a2.wav A/sub/s1.mp3 A/sub/deep/ A/notes.txt B/b1.wma B/b2.mp3 B/b3.wav
// and the extra files a test asks for.
class Selector {
public:
    explicit Selector(std::initializer_list<const char*> extra = {}) {
        std::vector<const char*> files = {"A/a1.mp3", "A/a2.wav", "A/sub/s1.mp3", "A/notes.txt",
                                          "B/b1.wma", "B/b2.mp3", "B/b3.wav"};
        files.insert(files.end(), extra.begin(), extra.end());
        for (const char* file : files) {
            std::filesystem::create_directories(std::filesystem::path(Music(file)).parent_path());
            std::ofstream(Music(file)) << "x";
        }
        std::filesystem::create_directory(Music("A/sub/deep"));
        Start();
    }
    // Makes the forms afresh on the same settings store, as a new start of the program does;
    // its jobs find the build's codec modules.
    void Start() {
        forms.reset();
        FolderTree::Locations top;
        top.root = Music("");
        forms = std::make_unique<AppForms>(top, std::vector<std::string>{BMC_CODEC_DIR "/"},
                                           BMC_BINARY_DIR "/brindlex-convert");
        Window().OnEndProgram = [this] { ++ended; };
        forms->Options().OnEndProgram = [] {};
        Window().show();
        tree = Child<QTreeWidget>(&Window(), "treeFolders");
        list = Child<QTreeWidget>(&Window(), "lstFiles");
    }
    FileSelectorWindow& Window() { return forms->Selector(); }
    template <typename T = QWidget> T* Control(const char* name) {
        return Child<T>(&Window(), name);
    }

    QTreeWidgetItem* Top() { return tree->topLevelItem(0); }
    QTreeWidgetItem* Folder(const QString& name) {
        const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    // Opens the top folder and selects name below it, as a user's keys would.
    QTreeWidgetItem* Open(const QString& name) {
        tree->setFocus();
        tree->setCurrentItem(Top());
        QTest::keyClick(tree, Qt::Key_Right);
        QTreeWidgetItem* folder = Folder(name);
        tree->setCurrentItem(folder);
        return folder;
    }
    QTreeWidgetItem* Row(const QString& caption) {
        const auto found = list->findItems(caption, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    static int Mark(const QTreeWidgetItem* item) {
        return item->data(0, StateImageDelegate::StateRole).toInt();
    }
    static QString Description(const QTreeWidgetItem* item) {
        return item->data(0, Qt::AccessibleDescriptionRole).toString();
    }

    // The middle of an item's state image, in its view's viewport.
    static QPoint StateImage(QTreeWidget* view, QTreeWidgetItem* item) {
        return StateImageDelegate::StateImageRect(view->visualItemRect(item)).center();
    }
    static QPoint Icon(QTreeWidget* view, QTreeWidgetItem* item) {
        const QRect rect = view->visualItemRect(item);
        return {rect.left() + StateImageDelegate::StateSpace + 8, rect.center().y()};
    }
    static QPoint Label(QTreeWidget* view, QTreeWidgetItem* item) {
        const QRect rect = view->visualItemRect(item);
        return {rect.left() + StateImageDelegate::StateSpace + 40, rect.center().y()};
    }
    void ClickMark(QTreeWidget* view, QTreeWidgetItem* item) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, StateImage(view, item));
    }
    // A double click as the window system delivers it: press, release, press and double click,
    // release.
    static void DoubleClick(QTreeWidget* view, QPoint point) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, point);
    }
    int CursorAt(QTreeWidget* view, QPoint point) {
        QTest::mouseMove(view->viewport(), point);
        return Window().CursorShown(view->viewport());
    }

    // The input paths of the options form's list, in order.
    QStringList Listed() {
        QStringList paths;
        auto* rows = Child<QTreeWidget>(&forms->Options(), "lstConvert");
        for (int i = 0; i < rows->topLevelItemCount(); ++i) {
            paths << rows->topLevelItem(i)->text(3);
        }
        return paths;
    }
    std::string Music(const std::string& relative) { return scratch / ("music/" + relative); }
    QString Path(const char* relative) { return Q(Music(relative)); }

    Scratch scratch;
    std::unique_ptr<AppForms> forms;
    QTreeWidget* tree = nullptr;
    QTreeWidget* list = nullptr;
    int ended = 0;
};
} // namespace

void SelectorFormTest::clicksAndSpaceMarkWithTheirPointers() {
    Selector s;
    QTreeWidgetItem* a = s.Open("A");
    QCOMPARE(Selector::Mark(a), stNone);
    QCOMPARE(Selector::Description(a), "File Will not be Converted");
    QCOMPARE(s.CursorAt(s.tree, Selector::StateImage(s.tree, a)), crFully);
    QCOMPARE(s.CursorAt(s.tree, Selector::Label(s.tree, a)), crDefault);

    s.ClickMark(s.tree, a);
    QCOMPARE(Selector::Mark(a), stFully);
    QCOMPARE(Selector::Description(a), "Convert All Files in Folder (inc Sub-folders)");
    QCOMPARE(Selector::Mark(s.Top()), stToSelected);
    QCOMPARE(Selector::Description(s.Top()), "To Selected Files and Folders");
    QCOMPARE(s.Window().CursorShown(s.tree->viewport()), crJustFiles); // what the next click does
    QCOMPARE(s.tree->currentItem(), a);
    QCOMPARE(s.list->topLevelItemCount(), 2); // a1.mp3, a2.wav; not notes.txt
    QCOMPARE(Selector::Mark(s.Row("a1")), stFileConverted);
    QCOMPARE(Selector::Description(s.Row("a1")), "This File will be Converted");
    QVERIFY(s.Control<QLabel>("panLocation")->toolTip().endsWith("/A/'"));

    // Space on the current folder: the next step of the same cycle.
    s.tree->setFocus();
    QTest::keyClick(s.tree, Qt::Key_Space);
    QCOMPARE(Selector::Mark(a), stJustFiles);
    QCOMPARE(s.CursorAt(s.tree, Selector::StateImage(s.tree, a)), crClearMark);

    // A file: a click on its box, then Space on the current row, which is set explicitly.
    QTreeWidgetItem* a1 = s.Row("a1");
    QCOMPARE(s.CursorAt(s.list, Selector::StateImage(s.list, a1)), crClearMark);
    s.ClickMark(s.list, a1);
    QCOMPARE(Selector::Mark(a1), stNone);
    QCOMPARE(Selector::Description(a1), "File Will not be Converted");
    QCOMPARE(s.Window().CursorShown(s.list->viewport()), crTick);
    QCOMPARE(s.Window().Model().Lists().filesToExclude.Size(), std::size_t{1});
    s.list->setFocus();
    s.list->setCurrentItem(a1);
    QTest::keyClick(s.list, Qt::Key_Space);
    QCOMPARE(Selector::Mark(a1), stFileConverted);
    QCOMPARE(s.Window().Model().Lists().filesToExclude.Size(), std::size_t{0});

    // Several rows selected: a click on one of their boxes inverts each; the pointer is left
    // alone meanwhile. A click on another row's box changes that row only.
    s.ClickMark(s.tree, a); // 4 -> 1
    QTreeWidgetItem* a2 = s.Row("a2");
    a1 = s.Row("a1");
    s.ClickMark(s.list, a1);
    QCOMPARE(Selector::Mark(a1), stFileConverted);
    QCOMPARE(Selector::Mark(a), stContainsFiles);
    a1->setSelected(true);
    a2->setSelected(true);
    const int before = s.CursorAt(s.list, Selector::Label(s.list, a2));
    QCOMPARE(s.CursorAt(s.list, Selector::StateImage(s.list, a2)), before);
    s.ClickMark(s.list, a2);
    QCOMPARE(Selector::Mark(a1), stNone);
    QCOMPARE(Selector::Mark(a2), stFileConverted);
    QVERIFY(a1->isSelected() && a2->isSelected()); // the click left the selection as it was
    a1->setSelected(false);
    s.ClickMark(s.list, a1);
    QCOMPARE(Selector::Mark(a1), stFileConverted);
    QCOMPARE(Selector::Mark(a2), stFileConverted);

    // The same through the accessibility interface a screen reader reads.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(s.list);
    QVERIFY(table && table->tableInterface());
    QAccessibleInterface* cell =
        table->tableInterface()->cellAt(s.list->indexOfTopLevelItem(a1), 0);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Description), "This File will be Converted");
}

void SelectorFormTest::keysExpandClicksOnMarksAndIconsDoNot() {
    Selector s;
    QTreeWidgetItem* top = s.Top();
    s.tree->setFocus();
    s.tree->setCurrentItem(top);
    // The pointer rests on another part of the window.
    QTest::mouseMove(s.Control("cmdAbout"));
    QTest::keyClick(s.tree, Qt::Key_Right);
    QVERIFY(top->isExpanded());
    QCOMPARE(top->childCount(), 2);

    QTreeWidgetItem* a = s.Folder("A");
    s.tree->setCurrentItem(a);
    QTest::mouseMove(s.tree->viewport(), Selector::StateImage(s.tree, s.Folder("B")));
    QTest::keyClick(s.tree, Qt::Key_Plus);
    QVERIFY(a->isExpanded());
    QCOMPARE(a->child(0)->text(0), "sub");
    // A folder without sub-folders loses its expand button once opened.
    QTreeWidgetItem* b = s.Folder("B");
    s.tree->setCurrentItem(b);
    QTest::keyClick(s.tree, Qt::Key_Asterisk);
    QVERIFY(b->isExpanded());
    QCOMPARE(b->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // * opens the folder and the folders below it that were opened before, and reads no more.
    a->setExpanded(false);
    top->setExpanded(false);
    s.tree->setCurrentItem(top);
    QTest::keyClick(s.tree, Qt::Key_Asterisk);
    QVERIFY(top->isExpanded() && a->isExpanded());
    QTreeWidgetItem* sub = a->child(0);
    QVERIFY(!sub->isExpanded());
    QCOMPARE(sub->childCount(), 0);

    // Double clicks: on a mark (which counts as two clicks) or an icon nothing expands; on the
    // name it does, and the folder becomes the selected one.
    top->setExpanded(false);
    Selector::DoubleClick(s.tree, Selector::StateImage(s.tree, top));
    QVERIFY(!top->isExpanded());
    QCOMPARE(Selector::Mark(top), stJustFiles);
    Selector::DoubleClick(s.tree, Selector::Icon(s.tree, top));
    QVERIFY(!top->isExpanded());
    s.tree->setCurrentItem(nullptr);
    Selector::DoubleClick(s.tree, Selector::Label(s.tree, top));
    QVERIFY(top->isExpanded());
    QCOMPARE(s.tree->currentItem(), top);
    // Opening a folder with its expand button selects it: the list shows its files.
    s.tree->setCurrentItem(a);
    const QRect subRect = s.tree->visualItemRect(sub);
    QTest::mouseClick(s.tree->viewport(), Qt::LeftButton, {},
                      QPoint(subRect.left() - 10, subRect.center().y()));
    QVERIFY(sub->isExpanded());
    QCOMPARE(sub->child(0)->text(0), "deep");
    QCOMPARE(s.tree->currentItem(), sub);
    QCOMPARE(s.list->topLevelItemCount(), 1);
}

void SelectorFormTest::typeBoxesHeadersAndTheResizeBar() {
    Selector s;
    s.Open("B");
    QCOMPARE(s.list->topLevelItemCount(), 3);
    s.ClickMark(s.list, s.Row("b2"));
    s.Control<QAbstractButton>("chkFromMp3")->click();
    QCOMPARE(s.list->topLevelItemCount(), 2);
    QVERIFY(!s.Row("b2"));
    s.Control<QAbstractButton>("chkFromMp3")->click();
    QCOMPARE(Selector::Mark(s.Row("b2")), stFileConverted);
    // A screen reader's "Toggle" (no click) changes what is listed just the same.
    QAccessibleInterface* box =
        QAccessible::queryAccessibleInterface(s.Control<QAbstractButton>("chkFromMp3"));
    QVERIFY(box && box->actionInterface());
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(s.list->topLevelItemCount(), 2);
    QVERIFY(!s.Row("b2"));
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(s.list->topLevelItemCount(), 3);
    // The first click on "Name" sorts Z to A.
    QCOMPARE(s.list->topLevelItem(0)->text(0), "b1");
    QTest::mouseClick(s.list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(s.list->header()->sectionViewportPosition(0) + 5, 5));
    QCOMPARE(s.list->topLevelItem(0)->text(0), "b3");
    QCOMPARE(Selector::Mark(s.Row("b2")), stFileConverted);

    QWidget* bar = s.Control("panResizeBar");
    QWidget* tree = s.tree;
    QWidget* list = s.list;
    const int listRight = list->geometry().right();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 10));
    QTest::mouseMove(bar, QPoint(-2000, 10));
    QCOMPARE(bar->x(), 50);
    QCOMPARE(tree->width(), 50 - tree->x() + 3);
    QCOMPARE(list->x(), 50 + bar->width() - 3);
    QCOMPARE(list->geometry().right(), listRight);
    QTest::mouseMove(bar, QPoint(5000, 10));
    QCOMPARE(bar->x(), s.Window().width() - 50);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(5000, 10));
}

// Every format listed has its box, ticked, named after its key and captioned from its row; the
// boxes go four to a row by their places, and Tab takes them in that order between the file list
// and Next.
void SelectorFormTest::typeBoxesFollowTheRegistry() {
    Selector s;
    const auto* grid = qobject_cast<QGridLayout*>(s.Control("grpConvertFrom")->layout());
    const auto listed = std::count_if(Formats().begin(), Formats().end(),
                                      [](const FormatInfo& format) { return format.IsInput(); });
    QCOMPARE(grid->count(), listed + 1); // and cue sheets' box, last
    QWidget* previous = s.list;
    int lastPlace = -1;
    for (int i = 0; i < listed; ++i) {
        auto* box = qobject_cast<QCheckBox*>(grid->itemAtPosition(i / 4, i % 4)->widget());
        const auto format = std::find_if(Formats().begin(), Formats().end(), [&](auto& f) {
            return f.IsInput() && FormatControlName("chkFrom", f) == box->objectName();
        });
        QVERIFY2(format != Formats().end(), qPrintable(box->objectName()));
        QVERIFY(format->BoxPlace > lastPlace);
        lastPlace = format->BoxPlace;
        QCOMPARE(box->text(), Q(format->FilesName) + " File(s)");
        QCOMPARE(box->accessibleName(), box->text());
        QVERIFY(box->isChecked());
        QCOMPARE(NextTabStop(previous), box);
        previous = box;
    }
    auto* cue = s.Control<QCheckBox>("chkFromCue");
    QCOMPARE(grid->itemAtPosition(listed / 4, listed % 4)->widget(), cue);
    QCOMPARE(cue->text(), "&CUE File(s)");
    QCOMPARE(cue->accessibleName(), "CUE File(s)");
    QVERIFY(cue->isChecked());
    QCOMPARE(NextTabStop(previous), cue);
    QCOMPARE(NextTabStop(cue), s.Control("cmdNext"));
    // MP3 before WAVE, as the boxes have always been.
    QCOMPARE(s.Control<QCheckBox>("chkFromMp3")->text(), "Mp3 File(s)");
    QCOMPARE(grid->itemAtPosition(0, 1)->widget(), s.Control("chkFromWav"));
}

// Each box of a format added to the table hides only its own files and shows them again; a FLAC
// file left out is not collected from a marked folder until its box is ticked again.
void SelectorFormTest::boxesOfTheNewTypesListAndCollectTheirFiles() {
    Selector s({"C/c1.flac", "C/c2.opus", "C/c3.ogg", "C/c4.oga", "C/c5.m4a", "C/c6.mp3"});
    s.Open("C");
    QCOMPARE(s.list->topLevelItemCount(), 6);
    const struct {
        const char* name;
        QString text;
        QStringList rows;
    } boxes[] = {{"chkFromFlac", "FLAC File(s)", {"c1"}},
                 {"chkFromOpus", "Opus File(s)", {"c2"}},
                 {"chkFromOgg", "Ogg File(s)", {"c3", "c4"}},
                 {"chkFromM4a", "M4A File(s)", {"c5"}}};
    for (const auto& box : boxes) {
        auto* check = s.Control<QCheckBox>(box.name);
        QCOMPARE(check->text(), box.text);
        QCOMPARE(check->accessibleName(), box.text);
        QVERIFY(check->isVisible());
        check->click();
        QCOMPARE(s.list->topLevelItemCount(), 6 - box.rows.size());
        for (const QString& row : box.rows) {
            QVERIFY2(!s.Row(row), qPrintable(row));
        }
        check->click();
        QCOMPARE(s.list->topLevelItemCount(), 6);
    }

    auto* flac = s.Control<QCheckBox>("chkFromFlac");
    flac->click();
    QVERIFY(!s.Row("c1"));
    s.ClickMark(s.tree, s.Folder("C"));
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QVERIFY(s.forms->Options().isVisible());
    QCOMPARE(s.Listed().size(), 5);
    QVERIFY(!s.Listed().contains(s.Path("C/c1.flac")));

    QTest::mouseClick(Child<QAbstractButton>(&s.forms->Options(), "cmdCancel"), Qt::LeftButton);
    QVERIFY(s.Window().isVisible());
    flac->click();
    QVERIFY(flac->isChecked());
    QVERIFY(s.Row("c1"));
    QCOMPARE(Selector::Mark(s.Row("c1")), stFileConverted);
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QCOMPARE(s.Listed().size(), 6);
    QVERIFY(s.Listed().contains(s.Path("C/c1.flac")));
}

// At a large font, however narrow the user makes the window, Next stays beside the two rows of
// boxes, not on them, and "Size" shows its six digits whole.
void SelectorFormTest::largeFontsAndNarrowWindowsCutNothing() {
    const QFont oldFont = QApplication::font();
    QFont large = oldFont;
    large.setPointSize(14);
    QApplication::setFont(large);
    {
        Selector s({"C/big.wav"});
        std::filesystem::resize_file(s.Music("C/big.wav"), std::uintmax_t{999'000} * 1024);
        s.Open("C");
        QCOMPARE(s.Row("big")->text(1), "999001KB");
        s.Window().resize(200, 300);
        QWidget* types = s.Control("grpConvertFrom");
        QWidget* next = s.Control("cmdNext");
        QVERIFY2(next->x() > types->geometry().right(),
                 qPrintable(QStringLiteral("Next at %1, boxes up to %2")
                                .arg(next->x())
                                .arg(types->geometry().right())));
        QVERIFY(next->geometry().right() < s.Window().width());
        QVERIFY(s.Control("chkFromM4a")->geometry().bottom() < types->height());
        QVERIFY(types->geometry().bottom() < s.Control("panToolBar")->height());
        QAbstractItemView* list = s.list;
        QVERIFY2(s.list->columnWidth(1) >= list->sizeHintForColumn(1),
                 qPrintable(QStringLiteral("%1 < %2")
                                .arg(s.list->columnWidth(1))
                                .arg(list->sizeHintForColumn(1))));
    }
    QApplication::setFont(oldFont);
}

void SelectorFormTest::nextHandsTheListToTheOptionsForm() {
    Selector s;
    s.ClickMark(s.tree, s.Open("A"));
    s.tree->setCurrentItem(s.Folder("B"));
    s.ClickMark(s.list, s.Row("b2"));
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QVERIFY(s.forms->Options().isVisible());
    QVERIFY(s.Window().isHidden());
    FileListWindow& fileList = s.forms->FileList();
    QVERIFY(fileList.isHidden());
    QCOMPARE(fileList.Count(), 4);
    QCOMPARE(Child<QLabel>(&fileList, "lblCount")->text(), "4 Files");
    QCOMPARE(Child<QLabel>(&fileList, "lblHeading")->text(), "Adding Selected Files");
    const QStringList listed = s.Listed();
    QCOMPARE(listed.size(), 4);
    // The marked folder's files first, in the order the disk gives them, then the single file.
    QCOMPARE(QSet<QString>(listed.begin(), listed.begin() + 3),
             QSet<QString>({s.Path("A/a1.mp3"), s.Path("A/a2.wav"), s.Path("A/sub/s1.mp3")}));
    QCOMPARE(listed[3], s.Path("B/b2.mp3"));

    // Back: the selector shows again with every mark.
    QTest::mouseClick(Child<QAbstractButton>(&s.forms->Options(), "cmdCancel"), Qt::LeftButton);
    QVERIFY(s.Window().isVisible());
    QVERIFY(s.forms->Options().isHidden());
    QCOMPARE(Selector::Mark(s.Folder("A")), stFully);
    QCOMPARE(Selector::Mark(s.Row("b2")), stFileConverted);
}

void SelectorFormTest::nothingMarkedSaysSoAndComesBack() {
    Selector s;
    s.Open("B");
    // Marked, but nothing of a shown type below: the same as nothing.
    s.Control<QAbstractButton>("chkFromWav")->click();
    s.Control<QAbstractButton>("chkFromMp3")->click();
    s.Control<QAbstractButton>("chkFromWma")->click();
    s.ClickMark(s.tree, s.Folder("B"));
    ModalAnswerer answers;
    answers.Click("OK");
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Text, "No files are selected to be converted.");
    QCOMPARE(answers.Seen()[0].Title, ApplicationTitle::Text());
    QVERIFY(s.Window().isVisible());
    QVERIFY(s.forms->Options().isHidden());
    // The empty list form does not stay open behind it.
    QVERIFY(s.forms->FileList().isHidden());
    QCOMPARE(s.forms->FileList().Count(), 0);
}

void SelectorFormTest::passedFileJoinsAtTheNextNext() {
    Selector s;
    s.ClickMark(s.tree, s.Open("A"));
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QVERIFY(s.forms->Options().isVisible());
    QCOMPARE(s.Listed().size(), 3);

    // Another launch hands a file over while the options form is shown.
    HandOverChannel sender;
    QVERIFY(sender.IsUsable());
    const std::string passed = s.Music("B/b1.wma");
    QVERIFY(sender.TryDeliver({passed, {}}));
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QVERIFY(!sender.IsWaiting(passed)); // taken, and the block is free again
    QVERIFY(s.Window().isHidden());
    QCOMPARE(s.tree->currentItem(), s.Folder("B"));
    QTreeWidgetItem* b1 = s.Row("b1");
    QCOMPARE(Selector::Mark(b1), stFileConverted);
    QVERIFY(b1->isSelected());
    // A file that a mark covers already is left as it is.
    QVERIFY(sender.TryDeliver({s.Music("A/a2.wav"), {}}));
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QCOMPARE(s.tree->currentItem(), s.Folder("A"));
    QCOMPARE(s.Window().Model().Lists().filesToBack.Size(), std::size_t{1});

    QCOMPARE(s.Listed().size(), 3); // not before the next Next
    QTest::mouseClick(Child<QAbstractButton>(&s.forms->Options(), "cmdCancel"), Qt::LeftButton);
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    QCOMPARE(s.Listed().size(), 4);
    QCOMPARE(s.Listed().last(), Q(passed));
}

void SelectorFormTest::buttonsHelpAboutAndExit() {
    Selector s;
    for (const auto& [name, text] :
         {std::pair{"cmdExit", "Exit"}, std::pair{"cmdHelp", "Help"},
          std::pair{"cmdAbout", "About"}, std::pair{"cmdNext", "Next"}}) {
        QCOMPARE(s.Control(name)->accessibleName(), text);
        QCOMPARE(s.Control(name)->toolTip(), text);
    }
    const StandInOpener opener(s.scratch, 0);
    QTest::mouseClick(s.Control<QAbstractButton>("cmdHelp"), Qt::LeftButton);
    QTRY_COMPARE(opener.Opened().size(), 1);
    QCOMPARE(opener.Opened()[0].toLocalFile(), Q(AppFolder() + std::string(HelpPage)));

    // The about box, made for this showing: its version line and its three links.
    QString version;
    ModalAnswerer answers;
    answers.Then([&](QDialog* about) {
        version = Child<QLabel>(about, "lblVersion")->text();
        for (const char* link : {"imgMakerSite", "lblSupportPage", "lblSupportAddress"}) {
            QTest::mouseClick(Child<QWidget>(about, link), Qt::LeftButton);
        }
        ModalAnswerer::ClickButton(about, "&Ok");
    });
    QTest::mouseClick(s.Control<QAbstractButton>("cmdAbout"), Qt::LeftButton);
    QCOMPARE(answers.Seen().at(0).Title, "About Brindlex");
    QVERIFY2(QRegularExpression("^Version \\d+  r\\d+$").match(version).hasMatch(),
             qPrintable(version));
    std::string expected;
    QVERIFY(GetVersionText(&expected));
    QCOMPARE(version, "Version " + Q(expected));
    QTRY_COMPARE(opener.Opened().size(), 4);
    // The opener runs for each link on its own: they may come in any order.
    const QList<QUrl> opened = opener.Opened();
    const QSet<QUrl> links(opened.begin() + 1, opened.end());
    QCOMPARE(links, QSet<QUrl>({QUrl(Q(MakerSite)), QUrl(Q(MakerSupportPage)),
                                QUrl("mailto:" + Q(MakerSupportAddress))}));
    QVERIFY(QUrl(Q(MakerSupportPage)).path().endsWith("/music-converter-support.htm"));
    QVERIFY(!s.Window().findChild<QDialog*>(QStringLiteral("AboutBox")));
    QCOMPARE(answers.Seen().size(), std::size_t{1}); // every page was taken: nothing said

    // Exit and the close box end the program.
    QTest::mouseClick(s.Control<QAbstractButton>("cmdExit"), Qt::LeftButton);
    QCOMPARE(s.ended, 1);
    s.Window().show();
    s.Window().close();
    QCOMPARE(s.ended, 2);
}

void SelectorFormTest::versionLine() {
    std::string text = "old";
    QVERIFY(FormatVersionText("3.1.0", &text));
    QCOMPARE(text, "3  r1");
    QVERIFY(FormatVersionText("2.0.0.0", &text));
    QCOMPARE(text, "2  r0");
    QVERIFY(FormatVersionText("10.12.0.0", &text));
    QCOMPARE(text, "10  r12");
    QVERIFY(FormatVersionText("65535.7", nullptr));
    for (const char* bad : {"", "3", "3.", ".1", "x.1", "3.1x", "70000.1", "3.-1", "-3.1"}) {
        QVERIFY2(!FormatVersionText(bad, &text), bad);
        QCOMPARE(text, "");
    }
}

// --- What issue-free use of the window asks besides the marks ---------------------------------

void SelectorFormTest::handedOverFilesAndFoldersShowTheirMarksAtOnce() {
    Selector s;
    HandOverChannel sender;
    QVERIFY(sender.TryDeliver({s.Music("A/sub/s1.mp3"), {}}));
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QCOMPARE(Selector::Mark(s.Row("s1")), stFileConverted);
    QCOMPARE(Selector::Mark(s.Folder("sub")), stContainsFiles);
    QCOMPARE(Selector::Mark(s.Folder("A")), stToSelected);
    QCOMPARE(Selector::Mark(s.Top()), stToSelected);
    // Closed, the folders above still show that something below them is marked.
    s.Top()->setExpanded(false);
    QCOMPARE(Selector::Description(s.Top()), "To Selected Files and Folders");

    // A folder: marked with its sub-folders, its files ticked.
    QVERIFY(sender.TryDeliver({s.Music("B/"), {}}));
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QCOMPARE(s.tree->currentItem(), s.Folder("B"));
    QCOMPARE(Selector::Mark(s.Folder("B")), stFully);
    QCOMPARE(s.list->topLevelItemCount(), 3);
    for (const char* row : {"b1", "b2", "b3"}) {
        QCOMPARE(Selector::Mark(s.Row(row)), stFileConverted);
    }
    QVERIFY(s.Window().Watch().Watches(s.Path("B/")));
}

void SelectorFormTest::aHandOverOrASecondStartBringsTheWindowBack() {
    Selector s;
    s.Window().showMinimized();
    QVERIFY(s.Window().windowState() & Qt::WindowMinimized);
    HandOverChannel sender;
    QVERIFY(sender.TryDeliver({"", {"token", "id_TIME42"}})); // a second start
    std::vector<HandOverMessage> taken;
    s.Window().OnPassedFile = [&](const HandOverMessage& message) { taken.push_back(message); };
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QVERIFY(!(s.Window().windowState() & Qt::WindowMinimized));
    QVERIFY(s.Window().isVisible());
    QCOMPARE(taken.size(), std::size_t{1});
    QCOMPARE(taken[0].tokens.startupId, "id_TIME42");

    // While the options form has the selector's place, that one comes back for a file.
    s.ClickMark(s.tree, s.Open("A"));
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    OptionsForm& options = s.forms->Options();
    options.showMinimized();
    QVERIFY(sender.TryDeliver({s.Music("B/b1.wma"), {}}));
    QVERIFY(QMetaObject::invokeMethod(&s.Window(), "tmrHandOverTimer"));
    QVERIFY(!(options.windowState() & Qt::WindowMinimized));
    QVERIFY(options.isVisible());
    QVERIFY(s.Window().isHidden());
    QCOMPARE(Selector::Mark(s.Row("b1")), stFileConverted);
}

void SelectorFormTest::refreshByKeyMenuAndWatch() {
    Selector s;
    QTreeWidgetItem* a = s.Open("A");
    QTest::keyClick(s.tree, Qt::Key_Right); // A opens and is watched
    QVERIFY(a->isExpanded());
    QVERIFY(s.Window().Watch().Watches(s.Path("A/")));
    s.ClickMark(s.tree, s.Folder("sub"));
    QCOMPARE(Selector::Mark(a), stToSelected);

    // F5 reads the selected folder at once.
    s.tree->setCurrentItem(a);
    std::filesystem::create_directory(s.Music("A/By key"));
    std::ofstream(s.Music("A/new.mp3")) << "x";
    s.Window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.Window()));
    QTest::keyClick(s.tree, Qt::Key_F5);
    QVERIFY(s.Folder("By key"));
    QVERIFY(s.Row("new"));

    // So does "Refresh" in the context menu, chosen with Enter.
    std::filesystem::create_directory(s.Music("A/By menu"));
    QTimer::singleShot(0, [] {
        QWidget* menu = QApplication::activePopupWidget();
        QVERIFY(menu);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint at = s.tree->visualItemRect(a).center();
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, at,
                               s.tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(s.tree->viewport(), &keyboard);
    QVERIFY(s.Folder("By menu"));

    // A watched folder follows the disk by itself: a folder made appears, one removed goes with
    // its marks.
    std::filesystem::create_directory(s.Music("A/Made later"));
    QTRY_VERIFY(s.Folder("Made later"));
    std::filesystem::remove_all(s.Music("A/sub"));
    QTRY_VERIFY(!s.Folder("sub"));
    QVERIFY(s.Window().Model().Lists().Empty());
    QCOMPARE(Selector::Mark(a), stNone);
}

void SelectorFormTest::hiddenFoldersFollowCtrlHAndAreKept() {
    Selector s;
    std::filesystem::create_directories(s.Music("A/.secret/inside"));
    QTreeWidgetItem* a = s.Open("A");
    QTest::keyClick(s.tree, Qt::Key_Right);
    QTreeWidgetItem* secret = s.Folder(".secret");
    QVERIFY(secret && secret->isHidden());
    s.Window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.Window()));
    QTest::keyClick(s.tree, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!secret->isHidden());
    QVERIFY(s.Window().Model().ShowsHiddenFolders());
    QCOMPARE(a->childCount(), 2); // sub and .secret

    // Kept in the settings store for the next start.
    const FolderTree::Locations top{s.Music(""), "", {}};
    s.forms.reset();
    s.forms = std::make_unique<AppForms>(top);
    QVERIFY(s.forms->Selector().Model().ShowsHiddenFolders());
}

void SelectorFormTest::namesInTheUsersOrderAndTwinsWithExtensions() {
    Selector s;
    for (const char* name :
         {"C/Track 10.mp3", "C/Track 2.mp3", "C/\xC3\x84lbum.wav", "C/alpha.mp3", "C/Intro.mp3",
          "C/Intro.wav", "C/CD 10/x", "C/CD 9/x", "C/\xC3\x84rger/x", "C/Bach/x"}) {
        std::filesystem::create_directories(std::filesystem::path(s.Music(name)).parent_path());
        std::ofstream(s.Music(name)) << "x";
    }
    QTreeWidgetItem* c = s.Open("C");
    QTest::keyClick(s.tree, Qt::Key_Right);
    QStringList folders;
    for (int i = 0; i < c->childCount(); ++i) {
        folders << c->child(i)->text(0);
    }
    QCOMPARE(folders, QStringList({"\xC3\x84rger", "Bach", "CD 9", "CD 10"}));
    QStringList rows;
    for (int i = 0; i < s.list->topLevelItemCount(); ++i) {
        rows << s.list->topLevelItem(i)->text(0);
    }
    QCOMPARE(rows, QStringList(
                       {"\xC3\x84lbum", "alpha", "Intro.mp3", "Intro.wav", "Track 2", "Track 10"}));
}

void SelectorFormTest::droppedFilesAndFoldersAreMarked() {
    Selector s;
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(s.Path("B")), QUrl::fromLocalFile(s.Path("A/a1.mp3")),
                   QUrl::fromLocalFile(s.Path("A/notes.txt"))});
    const QPoint at(s.Window().width() / 2, s.Window().height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(&s.Window(), &enter);
    QVERIFY(enter.isAccepted());
    ModalAnswerer answers;
    answers.Click("OK");
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(&s.Window(), &drop);
    delete data;
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QVERIFY(answers.Seen()[0].Text.contains(
        s.Path("A/notes.txt") + ": not a WAVE, MP3, WMA, FLAC, Opus, Vorbis or AAC file"));
    QCOMPARE(Selector::Mark(s.Folder("B")), stFully);
    QCOMPARE(s.tree->currentItem(), s.Folder("A"));
    QCOMPARE(Selector::Mark(s.Row("a1")), stFileConverted);
    QCOMPARE(Selector::Mark(s.Folder("A")), stContainsFiles);
}

void SelectorFormTest::pathsReadableColumnsStretchAndWidthsKept() {
    Selector s;
    const std::string home = s.Music("A/sub/deep");
    s.forms.reset();
    s.forms = std::make_unique<AppForms>(FolderTree::Locations{s.Music(""), home, {}});
    s.Window().OnEndProgram = [] {};
    s.Window().show();
    s.tree = Child<QTreeWidget>(&s.Window(), "treeFolders");
    s.list = Child<QTreeWidget>(&s.Window(), "lstFiles");
    QTreeWidgetItem* homeItem = s.tree->topLevelItem(1);
    QCOMPARE(homeItem->text(0), "Home (" + Q(home) + ")");
    QCOMPARE(homeItem->toolTip(0), Q(home) + "/");
    QCOMPARE(s.tree->textElideMode(), Qt::ElideMiddle);
    QCOMPARE(s.list->textElideMode(), Qt::ElideMiddle);

    // "Name" takes what the window gives; "Size" and "Type" keep their widths, and those and the
    // divider are there again at the next start.
    s.Window().resize(700, 500);
    const int narrow = s.list->header()->sectionSize(0);
    s.Window().resize(1000, 500);
    QVERIFY(s.list->header()->sectionSize(0) > narrow);
    s.list->header()->resizeSection(1, 91);
    s.list->header()->resizeSection(2, 133);
    QWidget* bar = s.Control("panResizeBar");
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 10));
    QTest::mouseMove(bar, QPoint(120, 10));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(120, 10));
    const int divider = bar->x();
    s.forms.reset();
    s.forms = std::make_unique<AppForms>(FolderTree::Locations{s.Music(""), "", {}});
    s.Window().resize(1000, 500);
    s.Window().show();
    auto* list = Child<QTreeWidget>(&s.Window(), "lstFiles");
    QCOMPARE(list->header()->sectionSize(1), 91);
    QCOMPARE(list->header()->sectionSize(2), 133);
    QCOMPARE(s.Control("panResizeBar")->x(), divider);
}

void SelectorFormTest::fileListFormShowsPathsReadably() {
    Scratch scratch;
    FileListWindow list;
    const std::string deep = scratch / "a/very/deep/folder/of/albums/";
    for (const ConvertRow& row :
         RowsOf({deep + "Intro.mp3", deep + "Outro.mp3", deep + "Intro.wav"})) {
        list.AddFile(row);
    }
    auto* rows = Child<QTreeWidget>(&list, "lstCoverting");
    QCOMPARE(rows->topLevelItem(0)->text(0), Q(deep + "Intro.mp3"));
    QCOMPARE(rows->topLevelItem(1)->text(0), Q(deep + "Intro.wav"));
    QCOMPARE(rows->topLevelItem(2)->text(0), Q(deep + "Outro"));
    QCOMPARE(rows->topLevelItem(2)->toolTip(0), Q(deep + "Outro.mp3"));
    QCOMPARE(rows->textElideMode(), Qt::ElideMiddle);
    list.resize(500, 300);
    list.show();
    const int narrow = rows->header()->sectionSize(0);
    list.resize(900, 300);
    QVERIFY(rows->header()->sectionSize(0) > narrow);
    rows->header()->resizeSection(2, 150);
    list.Clear();
    QCOMPARE(list.Count(), 0);
    QVERIFY(!list.findChildren<QTreeWidget*>().isEmpty());
}

void SelectorFormTest::helpWithoutAWebBrowserSaysWhereThePageIs() {
    Selector s;
    const StandInOpener opener(s.scratch, 3);
    ModalAnswerer answers;
    answers.Click("OK");
    QTest::mouseClick(s.Control<QAbstractButton>("cmdHelp"), Qt::LeftButton);
    QTRY_COMPARE(answers.Seen().size(), std::size_t{1});
    const QString page = Q(AppFolder() + std::string(HelpPage));
    QVERIFY2(answers.Seen()[0].Text.contains("no program for web pages"),
             qPrintable(answers.Seen()[0].Text));
    QVERIFY(answers.Seen()[0].Text.endsWith(page));
    QCOMPARE(answers.Seen()[0].Title, ApplicationTitle::Text());
    QCOMPARE(opener.Opened().size(), 1);
}

void SelectorFormTest::emptyBoxesAreDarkOnADarkPalette() {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x30));
    dark.setColor(QPalette::Text, Qt::white);
    for (const bool isDark : {false, true}) {
        QApplication::setPalette(isDark ? dark : original);
        Selector s;
        QTreeWidgetItem* top = s.Top();
        QCOMPARE(Selector::Mark(top), stNone);
        const QRect box = StateImageDelegate::StateImageRect(s.tree->visualItemRect(top));
        const QImage shot = s.tree->viewport()->grab(box).toImage();
        const int inside = QColor(shot.pixel(shot.width() * 7 / 16, shot.height() / 2)).lightness();
        if (isDark) {
            QVERIFY2(inside < 100, qPrintable(QString::number(inside)));
        } else {
            QVERIFY2(inside > 200, qPrintable(QString::number(inside)));
        }
    }
    QApplication::setPalette(original);
}

// The list to convert, in the options form and in the file-list form, and so the job, go in the
// order the selector shows the names: the tree's folders, a folder's own files first.
void SelectorFormTest::listFollowsTheSelectorsNameOrder() {
    Selector s({"C/Track 10.mp3", "C/z.wav", "C/Sub/a.mp3", "C/track 3.wav", "C/\u00c4lbum.mp3",
                "C/Track 2.mp3", "D/b.mp3"});
    s.ClickMark(s.tree, s.Open("D"));
    s.ClickMark(s.tree, s.Folder("C"));
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    const QStringList expected = {s.Path("C/\u00c4lbum.mp3"), s.Path("C/Track 2.mp3"),
                                  s.Path("C/track 3.wav"),    s.Path("C/Track 10.mp3"),
                                  s.Path("C/z.wav"),          s.Path("C/Sub/a.mp3"),
                                  s.Path("D/b.mp3")};
    QCOMPARE(s.Listed(), expected);
    auto* rows = Child<QTreeWidget>(&s.forms->FileList(), "lstCoverting");
    QStringList inTheListForm;
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        inTheListForm << rows->topLevelItem(i)->toolTip(0);
    }
    QCOMPARE(inTheListForm, expected);
}

// Until the user moves the divider, the folder pane is wide enough for the names it shows, or a
// third of the window when that is less.
void SelectorFormTest::folderPaneFitsItsNames() {
    const char* longName = "A folder whose name is far longer than the pane was ever drawn for";
    Selector s({"A folder whose name is far longer than the pane was ever drawn for/x.mp3"});
    s.Open("A");
    s.Window().resize(900, 540);
    QVERIFY2(s.tree->width() >= 300, qPrintable(QString::number(s.tree->width())));
    s.Window().resize(2400, 540);
    QTreeWidgetItem* item = s.Folder(longName);
    const int nameRight = s.tree->visualItemRect(item).left() + StateImageDelegate::StateSpace +
                          s.tree->iconSize().width() +
                          s.tree->fontMetrics().horizontalAdvance(longName);
    QVERIFY2(nameRight < s.tree->viewport()->width(), qPrintable(QString::number(nameRight)));
    QVERIFY(s.tree->width() < 800);
}

// The "Convert [From]" boxes stay as the user left them from one start to the next.
void SelectorFormTest::convertFromBoxesSurviveARestart() {
    Selector s;
    s.Control<QAbstractButton>("chkFromMp3")->click();
    s.Control<QAbstractButton>("chkFromWma")->click();
    s.Start();
    QVERIFY(!s.Control<QAbstractButton>("chkFromMp3")->isChecked());
    QVERIFY(!s.Control<QAbstractButton>("chkFromWma")->isChecked());
    QVERIFY(s.Control<QAbstractButton>("chkFromWav")->isChecked());
    s.Open("B");
    QCOMPARE(s.list->topLevelItemCount(), 1); // b3.wav
}

// Ticked, "Keep the program open after converting" brings the selector back with its marks, and
// is remembered; unticked, the program ends after the job as it always has.
void SelectorFormTest::keepOpenReturnsToTheSelectorWithItsMarks() {
    Selector s({"C/tone.wav"});
    MakeTone(s.Music("C/tone.wav"), 0.2);
    int ended = 0;
    s.forms->Options().OnEndProgram = [&] { ++ended; };
    s.Open("C");
    s.ClickMark(s.list, s.Row("tone"));
    const auto convert = [&] {
        QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
        Child<QAbstractButton>(&s.forms->Options(), "chkFormatMp3")->click();
        QTest::mouseClick(Child<QAbstractButton>(&s.forms->Options(), "cmdConvert"),
                          Qt::LeftButton);
    };
    std::vector<bool> tickedAtFirst;
    const auto answer = [&](bool keep) {
        return [&, keep](QDialog* box) {
            auto* keepOpen = Child<QCheckBox>(box, "chkKeepOpen");
            QCOMPARE(keepOpen->accessibleName(), "Keep the program open after converting");
            tickedAtFirst.push_back(keepOpen->isChecked());
            if (keepOpen->isChecked() != keep) {
                QTest::mouseClick(keepOpen, Qt::LeftButton);
            }
            ModalAnswerer::ClickButton(box, "OK");
        };
    };
    ModalAnswerer answers;
    answers.Then(answer(true)).Click("&Yes").Then(answer(false));
    convert();
    QVERIFY(s.Window().isVisible());
    QVERIFY(s.forms->Options().isHidden());
    QCOMPARE(Selector::Mark(s.Row("tone")), stFileConverted);
    QCOMPARE(ended, 0);
    convert();
    QCOMPARE(tickedAtFirst, (std::vector<bool>{false, true}));
    QCOMPARE(ended, 1);
    QCOMPARE(Probe(s.Music("C/tone.mp3")), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
}

// A folder with a WAVE album made by sox and its sheet lists the tracks, each with its title and
// length, instead of the sheet and the album; two tracks marked convert to exactly their frames,
// and a sheet that cannot be read is one row whose conversion ends in the errors form.
void SelectorFormTest::cueSheetsListTheirTracksAndConvertThoseMarked() {
    Selector s({"C/bad.cue"});
    MakeTone(s.Music("C/album.wav"), 65);
    std::ofstream(s.Music("C/album.cue")) << "TITLE \"Album\"\nFILE \"album.wav\" WAVE\n"
                                             "  TRACK 01 AUDIO\n    TITLE \"One\"\n"
                                             "    INDEX 01 00:00:00\n"
                                             "  TRACK 02 AUDIO\n    TITLE \"Two\"\n"
                                             "    INDEX 01 01:02:00\n"
                                             "  TRACK 03 AUDIO\n    TITLE \"Three\"\n"
                                             "    INDEX 01 01:04:00\n";
    std::ofstream(s.Music("C/bad.cue")) << "FILE \"gone.wav\" WAVE\n  TRACK 01 AUDIO\n"
                                           "    INDEX 01 00:00:00\n";
    s.Open("C");
    QStringList shown;
    for (int i = 0; i < s.list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = s.list->topLevelItem(i);
        shown << (row->text(0) + " " + row->text(1).trimmed()).trimmed();
    }
    QCOMPARE(shown, (QStringList{"01 - One 01:02", "02 - Two 00:02", "03 - Three 00:01", "bad"}));
    s.ClickMark(s.list, s.Row("02 - Two"));
    s.ClickMark(s.list, s.Row("03 - Three"));
    s.ClickMark(s.list, s.Row("bad"));
    QCOMPARE(Selector::Mark(s.Row("01 - One")), stNone);
    QTest::mouseClick(s.Control<QAbstractButton>("cmdNext"), Qt::LeftButton);
    auto* listed = Child<QTreeWidget>(&s.forms->Options(), "lstConvert");
    QCOMPARE(listed->topLevelItemCount(), 3);
    QCOMPARE(listed->topLevelItem(0)->text(0), s.Path("C/02 - Two"));
    Child<QAbstractButton>(&s.forms->Options(), "chkFormatWav")->click();
    QString lines;
    ModalAnswerer answers;
    answers.Then([&lines](QDialog* errors) {
        lines = Child<QPlainTextEdit>(errors, "txtProblems")->toPlainText();
        ModalAnswerer::ClickButton(errors, "&Ok");
    });
    QTest::mouseClick(Child<QAbstractButton>(&s.forms->Options(), "cmdConvert"), Qt::LeftButton);
    QCOMPARE(lines, QString::fromStdString("Unable to read from '" + s.Music("C/bad.cue") +
                                           "': 'gone.wav' was not found."));
    // As sox counts them.
    const auto frames = [&](const char* name) { return Run("soxi -s '" + s.Music(name) + "'"); };
    QCOMPARE(frames("C/02 - Two.wav"), "88200\n");
    QCOMPARE(frames("C/03 - Three.wav"), "44100\n");
    QVERIFY(!std::filesystem::exists(s.Music("C/01 - One.wav")));
    // The album itself is not converted whole: no question of replacing it came.
    QCOMPARE(answers.Seen().size(), std::size_t{1});
}

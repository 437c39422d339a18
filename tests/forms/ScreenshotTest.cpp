// Pictures of every form in both of the options form's views, with the light and a dark palette,
// written into the build folder to be looked at (screenshots/<platform>-x<scale>/).
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "acm/AcmFormatCatalog.h"
#include "engine/WaveFormat.h"
#include "forms/ApplicationTitle.h"
#include "forms/SelectorCursors.h"
#include "forms/StateImageDelegate.h"
#include "forms/StateImageList.h"
#include "forms/TForm2.h"
#include "forms/TfrmAbout.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmFileSelector.h"
#include "forms/TfrmWaveFormat.h"

using namespace formtest;

namespace {
QPalette DarkPalette() {
    QPalette dark(QColor(0x3c, 0x3c, 0x3c), QColor(0x2d, 0x2d, 0x30)); // button, window
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Disabled, role, Qt::gray);
    }
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Highlight, QColor(0x26, 0x4f, 0x78));
    return dark;
}

// screenshots/<BMC_SCREENSHOT_VARIANT, else platform-x<scale>>/<name>-<palette>.png
void Take(QWidget* widget, const QString& name, bool dark) {
    const QByteArray variant = qgetenv("BMC_SCREENSHOT_VARIANT");
    const QString folder =
        QStringLiteral(BMC_BINARY_DIR "/screenshots/") +
        (variant.isEmpty()
             ? QGuiApplication::platformName() + "-x" +
                   QString::number(QGuiApplication::primaryScreen()->devicePixelRatio())
             : QString::fromLatin1(variant));
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + (dark ? "-dark.png" : "-light.png");
    QVERIFY2(widget->grab().save(path), qPrintable(path));
}
QPoint StateImageOf(QTreeWidget* view, QTreeWidgetItem* item) {
    return StateImageDelegate::StateImageRect(view->visualItemRect(item)).center();
}

// The selector over a small music folder with every kind of mark, and its pointer shapes.
void TakeSelector(const std::string& music, bool dark) {
    const char* files[] = {"Classical/Bach/Air.mp3",
                           "Classical/Bach/Toccata.wav",
                           "Classical/Mozart/Requiem.wma",
                           "Jazz/Blue Train.mp3",
                           "Jazz/So What.wav",
                           "Jazz/Miles/Kind of Blue.mp3",
                           "Rock/Anthem.mp3",
                           "Rock/Ballad.wav",
                           "Rock/Encore.wma",
                           "Rock/notes.txt"};
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const std::string path = music + files[i];
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << std::string((i % 4 + 1) * 300000 + i * 7000, 'x');
    }
    FolderTree::Locations top;
    top.root = music;
    TfrmFileSelector selector(top);
    selector.resize(820, 540);
    selector.show();
    auto* tree = Child<QTreeWidget>(&selector, "treeFolders");
    auto* list = Child<QTreeWidget>(&selector, "lstFiles");
    auto folder = [&](const char* name) {
        return tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).first();
    };
    auto click = [](QTreeWidget* view, QTreeWidgetItem* item) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, StateImageOf(view, item));
    };
    // Opened as handed-over files open them (which shows their folders' marks at once: a click
    // there first clears them); Classical marked with its sub-folders, Jazz with its own files
    // only, two files of Rock one by one.
    selector.SelectPassedFile(music + "Classical/Bach/Air.mp3");
    selector.SelectPassedFile(music + "Jazz/Miles/Kind of Blue.mp3");
    for (int i = 0; i < 3; ++i) {
        click(tree, folder("Jazz"));
    }
    click(tree, folder("Classical"));
    click(tree, folder("Classical"));
    selector.SelectPassedFile(music + "Rock/Anthem.mp3");
    click(list, list->findItems("Ballad", Qt::MatchExactly).first());
    QCOMPARE(folder("Rock")->data(0, StateImageDelegate::StateRole).toInt(), stContainsFiles);
    Take(&selector, "selector", dark);

    StateImageList images;
    const SelectorCursors cursors(images, selector.devicePixelRatioF());
    QWidget strip;
    strip.setFixedSize(5 * 40, 40);
    strip.setAutoFillBackground(true);
    for (int id = FirstSelectorCursor; id <= LastSelectorCursor; ++id) {
        auto* shape = new QLabel(&strip);
        shape->setPixmap(cursors.Cursor(id).pixmap());
        shape->setGeometry((id - FirstSelectorCursor) * 40 + 4, 4, 32, 32);
    }
    strip.show();
    Take(&strip, "cursors", dark);
}
} // namespace

void ScreenshotTest::everyForm_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

void ScreenshotTest::everyForm() {
    QFETCH(bool, dark);
    const QPalette original = QApplication::palette();
    if (dark) {
        QApplication::setPalette(DarkPalette());
    }
    Scratch scratch;
    MakeTone(scratch / "Morning Song.wav", 0.5);
    MakeTone(scratch / "tune.wav", 0.5);
    std::ofstream(scratch / "tune.mp3") << "old";
    const std::vector<std::string> inputs = {scratch / "Morning Song.wav", scratch / "tune.wav"};
    Forms forms;
    TForm1& form = forms.Options();
    ApplicationTitle::Set("Brindlex Music Converter");
    forms.ShowWith(inputs);
    Take(&form, "options-wave", dark);
    forms.Control<QAbstractButton>("chkMp3")->click();
    Take(&form, "options-mp3", dark);
    forms.Control<QAbstractButton>("chkWMA")->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    Take(&form, "options-wma", dark);

    // The progress view as the worker shows it, half way through the first file.
    forms.Control<QAbstractButton>("chkMp3")->click();
    forms.Control<QAbstractButton>("optToDefPath")->click();
    bool taken = false;
    auto connection = connect(&ApplicationTitle::Instance(), &ApplicationTitle::Changed, this, [&] {
        if (!taken) {
            taken = true;
            form.SetFileBarWidth(129);
            form.SetTotalBarWidth(31);
            form.SetTimeRemainingText("Time Remaining : 1:02.05");
            Take(&form, "progress", dark);
        }
    });
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* overwrite) {
            Take(overwrite, "overwrite", dark);
            ModalAnswerer::ClickButton(overwrite, "&Yes");
        })
        .Click("OK");
    forms.Convert();
    disconnect(connection);
    QVERIFY(taken);

    TfrmConvertErr& errors = forms.All().Errors();
    errors.AddLine(QString::fromStdString("Unable to read from '" + (scratch / "junk.wav") + "'."));
    errors.AddLine(QString::fromStdString("'.txt' file type is not supported. Error whilst "
                                          "converting '" +
                                          (scratch / "notes.txt") + "'."));
    errors.show();
    Take(&errors, "errors", dark);
    errors.hide();

    TForm2& list = forms.All().FileList();
    list.SetHeading("Files To Be Converted");
    for (const ConvertRow& row : RowsOf(inputs)) {
        list.AddFile(row);
    }
    list.SetCountText("2 Files");
    list.show();
    Take(&list, "list", dark);
    list.hide();

    std::array<uint8_t, WaveOutputFormatSize> buffer{};
    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    std::copy(ima.begin(), ima.end(), buffer.begin());
    TfrmWaveFormat chooser;
    chooser.OpenOn(buffer);
    chooser.show();
    Take(&chooser, "chooser", dark);
    chooser.hide();

    TakeSelector(scratch / "music/", dark);
    TfrmAbout about;
    about.show();
    Take(&about, "about", dark);
    about.hide();
    QApplication::setPalette(original);
}

// Every form in every state: the options form in both views and with each format's options (and
// the mirror's box), the overwrite confirmation, the mirror's confirmation, the closing message of
// a job, the errors form, the file-list form, the wave-format chooser, the selector and the about
// box. Each is checked for overlapping widgets and texts cut short at application fonts of 9 to 14
// points (and, run with QT_SCALE_FACTOR=2, at twice the scale), and pictured with the light and a
// dark palette into the build folder, to be looked at (screenshots/<platform>-x<scale>/).
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "LayoutCheck.h"
#include "acm/WaveFormatCatalog.h"
#include "engine/WaveFormat.h"
#include "forms/AboutBox.h"
#include "forms/ApplicationTitle.h"
#include "forms/ConversionErrorsDialog.h"
#include "forms/FileListWindow.h"
#include "forms/FileSelectorWindow.h"
#include "forms/MirrorConfirmDialog.h"
#include "forms/SelectorCursors.h"
#include "forms/StateImageDelegate.h"
#include "forms/StateImageList.h"
#include "forms/WaveFormatDialog.h"

using namespace formtest;

namespace {
using Visit = std::function<void(QWidget*, const QString&)>;

// The selector's resize bar lies 3 pixels over the folder tree and the file list on either side;
// the progress bars show as much of their picture as the job has done.
const LayoutDesign Designed = {{{"treeFolders", "panResizeBar"}, {"panResizeBar", "lstFiles"}},
                               {"imgFilePc", "imgTotalPc"}};

// screenshots/<BMC_SCREENSHOT_VARIANT, else platform-x<scale>>/<name>-<look>.png
void Take(QWidget* widget, const QString& name, const QString& look) {
    const QByteArray variant = qgetenv("BMC_SCREENSHOT_VARIANT");
    const QString folder =
        QStringLiteral(BMC_BINARY_DIR "/screenshots/") +
        (variant.isEmpty()
             ? QGuiApplication::platformName() + "-x" +
                   QString::number(QGuiApplication::primaryScreen()->devicePixelRatio())
             : QString::fromLatin1(variant));
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + "-" + look + ".png";
    QVERIFY2(widget->grab().save(path), qPrintable(path));
}
QPoint StateImageOf(QTreeWidget* view, QTreeWidgetItem* item) {
    return StateImageDelegate::StateImageRect(view->visualItemRect(item)).center();
}

// The selector over a small music folder with every kind of mark, and its pointer shapes.
void ShowSelector(const std::string& music, const Visit& visit) {
    const char* files[] = {"Classical/Bach/Air.mp3",
                           "Classical/Bach/Toccata.wav",
                           "Classical/Mozart/Requiem.wma",
                           "Jazz/Blue Train.mp3",
                           "Jazz/So What.wav",
                           "Jazz/Miles/Kind of Blue.mp3",
                           "Rock/Anthem.mp3",
                           "Rock/Ballad.wav",
                           "Rock/Encore.wma",
                           "Rock/notes.txt",
                           "Rock/Live.flac",
                           "Rock/Demo.ogg",
                           "Jazz/Take Five.opus",
                           "Classical/Mozart/Sonata.m4a"};
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const std::string path = music + files[i];
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << std::string((i % 4 + 1) * 300000 + i * 7000, 'x');
    }
    // Rock's live album is listed as the tracks of its sheet.
    std::ofstream(music + "Rock/Live.cue") << "FILE \"Live.flac\" WAVE\n"
                                              "  TRACK 01 AUDIO\n    TITLE \"Opening\"\n"
                                              "    INDEX 01 00:00:00\n"
                                              "  TRACK 02 AUDIO\n    TITLE \"Closing\"\n"
                                              "    INDEX 01 04:12:00\n";
    FolderTree::Locations top;
    top.root = music;
    FileSelectorWindow selector(top);
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
    visit(&selector, "selector");

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
    visit(&strip, "cursors");
}

// Every form in turn, in each of its states, handed to visit while it shows.
void ShowEveryForm(QObject* context, const Visit& visit) {
    Scratch scratch;
    MakeTone(scratch / "Morning Song.wav", 0.5);
    MakeTone(scratch / "tune.wav", 0.5);
    std::ofstream(scratch / "tune.mp3") << "old";
    const std::vector<std::string> inputs = {scratch / "Morning Song.wav", scratch / "tune.wav"};
    Forms forms;
    OptionsForm& form = forms.Options();
    ApplicationTitle::Set("Brindlex Music Converter");
    forms.ShowWith(inputs);
    visit(&form, "options-wave");
    forms.Control<QAbstractButton>("chkFormatMp3")->click();
    visit(&form, "options-mp3");
    forms.Control<QAbstractButton>("chkFormatWma")->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    visit(&form, "options-wma");
    forms.Control<QAbstractButton>("chkFormatFlac")->click();
    visit(&form, "options-flac");
    forms.Control<QAbstractButton>("chkFormatM4a")->click();
    visit(&form, "options-aac");
    forms.Control<QAbstractButton>("chkMirror")->click();
    visit(&form, "options-mirror");
    forms.Control<QAbstractButton>("chkMirror")->click();

    // The progress view as the worker shows it, half way through the first file.
    forms.Control<QAbstractButton>("chkFormatMp3")->click();
    forms.Control<QAbstractButton>("optToDefPath")->click();
    bool shown = false;
    auto connection =
        QObject::connect(&ApplicationTitle::Instance(), &ApplicationTitle::Changed, context, [&] {
            if (!shown) {
                shown = true;
                JobProgress halfWay;
                halfWay.Rows = 2;
                halfWay.BytesDone = 12;
                halfWay.BytesTotal = 100;
                halfWay.Slots = {{0, 50.0}};
                halfWay.Lead = 0;
                halfWay.SecondsLeft = 3725;
                form.Job().ShowProgress(halfWay);
                visit(&form, "progress");
            }
        });
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* overwrite) {
            visit(overwrite, "overwrite");
            ModalAnswerer::ClickButton(overwrite, "&Yes");
        })
        .Then([&](QDialog* converted) {
            // A message box grows no wider than the screen, and the doubled off-screen one (400
            // pixels) is too narrow for the check box's line at the larger fonts.
            if (converted->width() < converted->screen()->availableGeometry().width()) {
                visit(converted, "converted");
            }
            ModalAnswerer::ClickButton(converted, "OK");
        });
    forms.Convert();
    QObject::disconnect(connection);
    QVERIFY(shown);

    ConversionErrorsDialog& errors = forms.All().Errors();
    errors.AddLine(QString::fromStdString("Unable to read from '" + (scratch / "junk.wav") + "'."));
    errors.AddLine(QString::fromStdString("'.txt' file type is not supported. Error whilst "
                                          "converting '" +
                                          (scratch / "notes.txt") + "'."));
    errors.show();
    visit(&errors, "errors");
    errors.hide();

    FileListWindow& list = forms.All().FileList();
    list.SetHeading("Files To Be Converted");
    for (const ConvertRow& row : RowsOf(inputs)) {
        list.AddFile(row);
    }
    list.SetCountText("2 Files");
    list.show();
    visit(&list, "list");
    list.hide();

    std::array<uint8_t, WaveOutputFormatSize> buffer{};
    const auto ima = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    std::copy(ima.begin(), ima.end(), buffer.begin());
    WaveFormatDialog chooser;
    chooser.OpenOn(buffer);
    chooser.show();
    visit(&chooser, "chooser");
    chooser.hide();

    MirrorConfirmDialog mirror;
    mirror.AddFile(scratch / "phone/Rock/Anthem.opus", true, "its original was removed");
    mirror.AddFile(scratch / "phone/Classical/Air.opus", false,
                   "changed since the mirror wrote it");
    mirror.show();
    visit(&mirror, "mirror-confirm");
    mirror.hide();

    ShowSelector(scratch / "music/", visit);
    AboutBox about;
    about.show();
    visit(&about, "about");
    about.hide();
}

// The application's palette and font for as long as it lives.
class Look {
public:
    Look(const QPalette& palette, const QFont& font)
        : palette_(QApplication::palette()), font_(QApplication::font()) {
        QApplication::setPalette(palette);
        QApplication::setFont(font);
    }
    Look(const Look&) = delete;
    Look& operator=(const Look&) = delete;
    ~Look() {
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }

private:
    QPalette palette_;
    QFont font_;
};
} // namespace

void ScreenshotTest::everyForm_data() {
    QTest::addColumn<bool>("dark");
    QTest::addColumn<int>("points"); // 0: the application's font as it is
    QTest::newRow("light") << false << 0;
    QTest::newRow("dark") << true << 0;
    for (int points = 9; points <= 14; ++points) {
        QTest::newRow(qPrintable(QStringLiteral("%1pt").arg(points))) << false << points;
    }
}

void ScreenshotTest::everyForm() {
    QFETCH(bool, dark);
    QFETCH(int, points);
    QFont font = QApplication::font();
    if (points > 0) {
        font.setPointSize(points);
    }
    const Look look(dark ? DarkPalette() : QApplication::palette(), font);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    QStringList faults;
    ShowEveryForm(this, [&](QWidget* widget, const QString& name) {
        // As the window system would before painting: the layouts follow what was shown or hidden.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        Take(widget, name, tag);
        for (const QString& fault : LayoutFaults(widget, Designed)) {
            faults << name + ": " + fault;
        }
    });
    for (const QString& fault : faults) {
        qWarning("%s", qPrintable(fault));
    }
    QVERIFY2(faults.isEmpty(), "the window has layout faults (listed above)");
}

void ScreenshotTest::aBrokenLayoutFails() {
    QWidget window;
    window.resize(300, 200);
    auto* first = new QLabel(QStringLiteral("First"), &window);
    first->setObjectName("first");
    first->setGeometry(10, 10, 100, 30);
    auto* second = new QLabel(QStringLiteral("Second"), &window);
    second->setObjectName("second");
    second->setGeometry(60, 20, 100, 30);
    auto* narrow = new QLabel(QStringLiteral("A caption far wider than its label"), &window);
    narrow->setObjectName("narrow");
    narrow->setGeometry(10, 60, 40, 30);
    auto* low = new QLabel(QStringLiteral("Tip: a wrapped text that needs several lines"), &window);
    low->setObjectName("low");
    low->setWordWrap(true);
    low->setGeometry(10, 100, 90, low->fontMetrics().height());
    auto* button = new QPushButton(QStringLiteral("&Convert these files"), &window);
    button->setObjectName("button");
    button->setGeometry(150, 100, 40, 30);
    auto* outside = new QLabel(QStringLiteral("x"), &window);
    outside->setObjectName("outside");
    outside->setGeometry(280, 150, 40, 30);
    QPixmap square(32, 32);
    square.fill(Qt::darkGreen);
    auto* picture = new QLabel(&window);
    picture->setObjectName("picture");
    picture->setPixmap(square);
    picture->setGeometry(250, 50, 16, 16);
    window.show();
    const QStringList faults = LayoutFaults(&window);
    const auto found = [&](const QString& start) {
        return std::any_of(faults.begin(), faults.end(),
                           [&](const QString& fault) { return fault.startsWith(start); });
    };
    QVERIFY2(found("first and second overlap in QWidget"), qPrintable(faults.join('\n')));
    QVERIFY(found("narrow cuts \"A caption far wider than its label\" short"));
    QVERIFY(found("low cuts"));
    QVERIFY(found("button cuts \"Convert these files\" short"));
    QVERIFY(found("outside sticks out of QWidget"));
    QVERIFY(found("picture cuts its picture short"));
    QCOMPARE(faults.size(), 6);
    // What a design does on purpose is no fault.
    QCOMPARE(LayoutFaults(&window, {{{"second", "first"}}, {"picture"}}).size(), 4);

    // Mended, the same window is sound.
    second->move(120, 10);
    narrow->resize(narrow->sizeHint().width(), 30);
    low->setFixedHeight(low->heightForWidth(low->width()));
    low->move(10, 95);
    button->resize(button->sizeHint().width(), 30);
    button->move(110, 95);
    outside->move(250, 160);
    picture->resize(32, 32);
    QVERIFY2(LayoutFaults(&window).isEmpty(), qPrintable(LayoutFaults(&window).join('\n')));
}

// The errors form, the file-list form, the options form's progress view, and the forms' names.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>
#include <cmath>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "forms/AboutBox.h"
#include "forms/ApplicationTitle.h"
#include "forms/ConversionErrorsDialog.h"
#include "forms/FileIconCache.h"
#include "forms/FileListWindow.h"
#include "forms/FileSelectorWindow.h"
#include "forms/OverwriteDialog.h"
#include "forms/PathLabel.h"
#include "forms/ProgressView.h"
#include "forms/RowEndsRelay.h"
#include "forms/WaveFormatDialog.h"
#include "forms/WindowJobProgress.h"
#include "jobs/JobProgress.h"

using namespace formtest;

void SmallFormsTest::errorsFormHoldsLinesAndWraps() {
    ConversionErrorsDialog errors;
    QVERIFY(!errors.HasProblems());
    errors.AddLine("Unable to read from '/a.wav'.");
    errors.AddLine("Unable to write to '" + QString(300, 'x') + "'.");
    QVERIFY(errors.HasProblems());
    QCOMPARE(errors.Text().split('\n').size(), 2);

    ModalAnswerer answers;
    int wrappedLines = 0;
    answers.Then([&](QDialog* dialog) {
        auto* box = Child<QPlainTextEdit>(dialog, "txtProblems");
        wrappedLines = box->document()->lastBlock().layout()->lineCount();
        // Enter is "&Ok".
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog,
                        Qt::Key_Return);
    });
    errors.ShowModal();
    QVERIFY(wrappedLines > 1);
    QVERIFY(!errors.isVisible());
    errors.Clear();
    QVERIFY(!errors.HasProblems());
}

void SmallFormsTest::fileListShowsRowsAndOnlyHides() {
    FileListWindow list;
    list.SetHeading("Files To Be Converted");
    for (const ConvertRow& row : RowsOf({"/music/Song.Mp3", "/music/Tracklist"})) {
        list.AddFile(row);
    }
    list.SetCountText("2 Files");
    auto* rows = Child<QTreeWidget>(&list, "lstCoverting");
    QCOMPARE(rows->topLevelItem(0)->text(0), "/music/Song");
    QCOMPARE(rows->topLevelItem(0)->text(1), "     0KB"); // gone: listed all the same
    QCOMPARE(rows->topLevelItem(0)->text(2), "MP3 File");
    QCOMPARE(rows->topLevelItem(0)->text(3), ".Mp3");
    QCOMPARE(rows->topLevelItem(1)->text(3), ".");
    QCOMPARE(Child<QLabel>(&list, "lblCount")->text(), "2 Files");
    // One icon per extension, whatever its letter case.
    QCOMPARE(FileIconCache::Shared().IconFor(".MP3").cacheKey(),
             FileIconCache::Shared().IconFor(".mp3").cacheKey());

    list.show();
    QTest::mouseClick(Child<QAbstractButton>(&list, "cmdClose"), Qt::LeftButton);
    QVERIFY(list.isHidden());
    QCOMPARE(list.Count(), 2);
    list.show();
    QTest::keyClick(&list, Qt::Key_Return);
    QVERIFY(list.isHidden());
}

// The lead row's bar, the counter and the estimate; once the job is being cancelled, its total bar
// and the title's percentage stay where they were while the file's bar goes on.
void SmallFormsTest::progressViewHoldsTheTotalWhileCancelling() {
    QWidget window;
    auto* rows = new QTreeWidget(&window);
    for (const QString& name : {QStringLiteral("first"), QStringLiteral("second")}) {
        new QTreeWidgetItem(rows, QStringList{name});
    }
    auto* counter = new QLabel(&window);
    auto* writing = new PathLabel(&window);
    auto* fileBar = new QLabel(&window);
    auto* totalBar = new QLabel(&window);
    auto* timeLeft = new QLabel(&window);
    ProgressView view({rows, counter, writing, fileBar, totalBar, timeLeft}, window);
    view.Start();
    QCOMPARE(ApplicationTitle::Text(), "BMC 0% Converted");
    QCOMPARE(writing->toolTip(), "Preparing to convert...");
    QCOMPARE(totalBar->width(), 0);

    JobProgress progress;
    progress.Settled = 1;
    progress.Rows = 2;
    progress.BytesDone = 75;
    progress.BytesTotal = 100;
    progress.Slots = {{1, 50.0}};
    progress.Lead = 0;
    progress.SecondsLeft = 65;
    view.Show(progress, nullptr, false);
    QCOMPARE(counter->text(), "Converted 1 of 2");
    QCOMPARE(rows->currentItem(), rows->topLevelItem(1));
    QCOMPARE(writing->toolTip(), "Preparing to convert..."); // no plan names the output
    QCOMPARE(timeLeft->text(), "Time Remaining : 0:01.05");
    const int total = totalBar->width();
    const int file = fileBar->width();
    const QString title = ApplicationTitle::Text();
    QVERIFY(total > file && file > 0);
    QVERIFY(title != "BMC 0% Converted");

    progress.BytesDone = 90;
    progress.Slots = {{1, 80.0}};
    view.Show(progress, nullptr, true);
    QCOMPARE(totalBar->width(), total);
    QCOMPARE(ApplicationTitle::Text(), title);
    QVERIFY(fileBar->width() > file);
    ApplicationTitle::Restore();
}

// The controller's verifying report changes the caption of the row shown, with the figures it had;
// the row's slot going on to another row writes again.
void SmallFormsTest::progressViewSaysWhichRowIsVerified() {
    QWidget window;
    auto* rows = new QTreeWidget(&window);
    new QTreeWidgetItem(rows, QStringList{QStringLiteral("first")});
    new QTreeWidgetItem(rows, QStringList{QStringLiteral("second")});
    auto* writing = new PathLabel(&window);
    ProgressView view({rows, new QLabel(&window), writing, new QLabel(&window), new QLabel(&window),
                       new QLabel(&window)},
                      window);
    const std::vector<PlannedRow> planned = {{"/in/1.wav", "/out/1.flac", false, {}},
                                             {"/in/2.wav", "/out/2.flac", false, {}}};
    WindowJobProgress progress;
    RowEndsRelay observer(progress, {});
    const auto draw = [&] {
        const std::optional<WindowJobProgress::Frame> frame = progress.Take();
        if (frame) {
            view.Show(frame->Figures, &planned, false, frame->LeadVerifying);
        }
        return frame.has_value();
    };
    JobProgress figures;
    figures.Rows = 2;
    figures.Slots = {{0, 100.0}, {1, 40.0}};
    figures.Lead = 0;
    observer.Progress(figures);
    observer.RowVerifying(1, 1); // not the row shown
    QVERIFY(draw());
    QCOMPARE(writing->toolTip(), "Writing '/out/1.flac'");
    observer.RowVerifying(0, 0);
    QVERIFY(draw());
    QCOMPARE(writing->toolTip(), "Verifying '/out/1.flac'");
    QVERIFY(!draw());

    figures.Slots = {{1, 50.0}, {}};
    observer.Progress(figures);
    QVERIFY(draw());
    QCOMPARE(writing->toolTip(), "Writing '/out/2.flac'");
    ApplicationTitle::Restore();
}

// Each form is named after its class and no control keeps a designer's numbered name (its class
// and a number): the tests and benches find controls by name, and a name is all a reader has.
void SmallFormsTest::formsAndControlsSayWhatTheyAre() {
    Scratch scratch;
    Forms forms;
    AboutBox about;
    WaveFormatDialog chooser;
    const QRegularExpression numbered(QStringLiteral("^[A-Z][A-Za-z]*[0-9]+$"));
    for (QWidget* form : std::initializer_list<QWidget*>{
             &forms.All().Selector(), &forms.Options(), &forms.All().Overwrite(),
             &forms.All().Errors(), &forms.All().FileList(), &about, &chooser}) {
        QCOMPARE(form->objectName(), QString::fromLatin1(form->metaObject()->className()));
        for (const QObject* child : form->findChildren<QObject*>()) {
            QVERIFY2(!numbered.match(child->objectName()).hasMatch(),
                     qPrintable(form->objectName() + ": " + child->objectName()));
        }
    }
}

// Eliding measures in fractions of a pixel and draws in whole ones: the shown text must still
// fit, at every width and font size, or its last letter is cut.
void SmallFormsTest::pathLabelsElideWithinTheirWidth() {
    PathLabel label;
    label.show();
    label.SetFullText(QStringLiteral("Writing '/tmp/bmc-form-test-q7WIeM/Morning Song.mp3'"));
    int checked = 0;
    for (int points = 9; points <= 14; ++points) {
        QFont font = label.font();
        font.setPointSize(points);
        label.setFont(font);
        for (int width = 60; width <= 480; ++width) {
            label.resize(width, 30);
            const int shown = label.fontMetrics()
                                  .boundingRect(label.contentsRect(),
                                                static_cast<int>(label.alignment()), label.text())
                                  .width();
            QVERIFY2(
                shown <= label.contentsRect().width(),
                qPrintable(QStringLiteral("%1 pt, %2 px: %3").arg(points).arg(width).arg(shown)));
            ++checked;
        }
    }
    QVERIFY(checked > 0);
}

namespace {
double Luminance(QRgb colour) {
    const auto linear = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

// The strongest contrast (WCAG's ratio) between the unticked indicator's pixels and the window.
double IndicatorContrast(QAbstractButton& button, QStyle::SubElement indicator) {
    button.adjustSize();
    button.show();
    QStyleOptionButton option;
    option.initFrom(&button);
    const QRect rect = button.style()->subElementRect(indicator, &option, &button);
    const QImage image = button.grab().toImage();
    const double scale = image.devicePixelRatio();
    const double window = Luminance(button.palette().color(QPalette::Window).rgb());
    double strongest = 1.0;
    for (int y = int(rect.top() * scale); y < int((rect.bottom() + 1) * scale); ++y) {
        for (int x = int(rect.left() * scale); x < int((rect.right() + 1) * scale); ++x) {
            const double pixel = Luminance(image.pixel(x, y));
            strongest = std::max(strongest, (std::max(pixel, window) + 0.05) /
                                                (std::min(pixel, window) + 0.05));
        }
    }
    return strongest;
}
} // namespace

void SmallFormsTest::indicatorsStandOutOnADarkPalette() {
    const auto* style = qobject_cast<const QProxyStyle*>(QApplication::style());
    QVERIFY(style); // the program's style wraps the desktop's
    if (style->baseStyle()->name().compare("fusion", Qt::CaseInsensitive) != 0) {
        QSKIP("the outlines are Fusion's; another style draws its own");
    }
    QRadioButton mono(QStringLiteral("Mono"));
    QCheckBox keepTree(QStringLiteral("Keep folder tree"));
    mono.setPalette(DarkPalette());
    keepTree.setPalette(DarkPalette());
    // WCAG asks 3:1 of a control's outline against what is around it; Fusion's own is 1.1:1.
    QVERIFY2(IndicatorContrast(mono, QStyle::SE_RadioButtonIndicator) >= 3.0, "radio button");
    QVERIFY2(IndicatorContrast(keepTree, QStyle::SE_CheckBoxIndicator) >= 3.0, "check box");

    // A light palette is drawn as Fusion draws it.
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    QRadioButton plain(QStringLiteral("Mono"));
    plain.setStyle(fusion.get());
    mono.setPalette(QApplication::palette());
    plain.setPalette(QApplication::palette());
    mono.adjustSize();
    plain.resize(mono.size());
    QCOMPARE(mono.grab().toImage(), plain.grab().toImage());
}

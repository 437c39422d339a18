// The errors form and the file-list form.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "forms/FileIconCache.h"
#include "forms/PathLabel.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"

using namespace formtest;

void SmallFormsTest::errorsFormHoldsLinesAndWraps() {
    TfrmConvertErr errors;
    QVERIFY(!errors.HasProblems());
    errors.AddLine("Unable to read from '/a.wav'.");
    errors.AddLine("Unable to write to '" + QString(300, 'x') + "'.");
    QVERIFY(errors.HasProblems());
    QCOMPARE(errors.Text().split('\n').size(), 2);

    ModalAnswerer answers;
    int wrappedLines = 0;
    answers.Then([&](QDialog* dialog) {
        auto* box = Child<QPlainTextEdit>(dialog, "RichEdit1");
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
    TForm2 list;
    list.SetHeading("Files To Be Converted");
    for (const ConvertRow& row : RowsOf({"/music/Song.Mp3", "/music/README"})) {
        list.AddFile(row);
    }
    list.SetCountText("2 Files");
    auto* rows = Child<QTreeWidget>(&list, "lstCoverting");
    QCOMPARE(rows->topLevelItem(0)->text(0), "/music/Song");
    QCOMPARE(rows->topLevelItem(0)->text(1), "     0KB"); // gone: listed all the same
    QCOMPARE(rows->topLevelItem(0)->text(2), "MP3 File");
    QCOMPARE(rows->topLevelItem(0)->text(3), ".Mp3");
    QCOMPARE(rows->topLevelItem(1)->text(3), ".");
    QCOMPARE(Child<QLabel>(&list, "Label4")->text(), "2 Files");
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

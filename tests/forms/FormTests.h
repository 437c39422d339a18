#pragma once
// The window test suites; main() runs them one by one.
#include <QObject>
#include <QUrl>

class OptionsFormTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsWithAnEmptyStore();
    void storedChoicesLoadAndSave();
    void shortOrGarbageWaveCompressGivesTheDefault();
    void chosenFormatSurvivesARestart();
    void chooserOpensOnTheCurrentFormat();
    void keyboardAndAccessibleNames();
    void browseFillsTheFolder();
};

class ConversionJobTest : public QObject {
    Q_OBJECT
private slots:
    void jobToEachTarget();
    void failuresEndInTheErrorsForm();
    void cancelThenASecondJob();
    void endingTheProgramStopsTheJobAndAsksNothing();
    void wmaWithoutItsModuleStartsNothing();
};

class OverwriteTest : public QObject {
    Q_OBJECT
private slots:
    void noCancelLeavesEverythingAsItWas();
    void renameWritesTheNewName();
    void refusesRenamesThatLoseAFile();
};

class SmallFormsTest : public QObject {
    Q_OBJECT
private slots:
    void errorsFormHoldsLinesAndWraps();
    void fileListShowsRowsAndOnlyHides();
};

class SelectorFormTest : public QObject {
    Q_OBJECT
private slots:
    void clicksAndSpaceMarkWithTheirPointers();
    void keysExpandClicksOnMarksAndIconsDoNot();
    void typeBoxesHeadersAndTheResizeBar();
    void nextHandsTheListToTheOptionsForm();
    void nothingMarkedSaysSoAndComesBack();
    void passedFileJoinsAtTheNextNext();
    void buttonsHelpAboutAndExit();
    void versionLine();
    void handedOverFilesAndFoldersShowTheirMarksAtOnce();
    void aHandOverOrASecondStartBringsTheWindowBack();
    void refreshByKeyMenuAndWatch();
    void hiddenFoldersFollowCtrlHAndAreKept();
    void namesInTheUsersOrderAndTwinsWithExtensions();
    void droppedFilesAndFoldersAreMarked();
    void pathsReadableColumnsStretchAndWidthsKept();
    void fileListFormShowsPathsReadably();
    void helpWithoutAWebBrowserSaysWhereThePageIs();
    void emptyBoxesAreDarkOnADarkPalette();
};

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void everyForm_data();
    void everyForm();
    void aBrokenLayoutFails();
};

// Records the web pages the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

#pragma once
// The window test suites; main() runs them one by one.
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

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
    void controlsFollowTheirAccessibleToggle();
    void numberOptionsLoadListAndSave();
    void formatButtonsFollowTheRegistry();
    void ownWordedOptionsKeepTheirLabelsPicturesAndTabs();
    void presetsSaveRestoreAndDelete();
    void aPresetWhoseFormatCannotBeWrittenChangesNothing();
    void namingAndCoverChoicesLoadAndSave();
    void namePreviewFollowsTheControlsAndTheList();
};

class ConversionJobTest : public QObject {
    Q_OBJECT
private slots:
    void jobToEachTarget();
    void jobToANewFormatWithItsOptions();
    void failuresEndInTheErrorsForm();
    void aFullDiskNamesItsCauseInTheErrorsForm();
    void unusableStoredSettingsAreToldAtTheEnd();
    void verifiedAndSilentFilesAreToldAtTheEnd();
    void albumsSplitByTheirOwnSheetWhenTheBoxIsTicked();
    void cancelThenASecondJob();
    void endingTheProgramStopsTheJobAndAsksNothing();
    void wmaWithoutItsModuleStartsNothing();
    void aRateTheTargetCannotWriteStartsNothing();
    void closingDuringAJobAsksAndKeepsTheJob();
};

class PlanBeforeJobTest : public QObject {
    Q_OBJECT
private slots:
    void clashesOfferTheFolderTree();
    void clashesTheTreeCannotPartOnlyGoBack();
    void aMissingFolderIsMadeOnYes();
    void theOriginalItselfIsMarked();
    void aBadNamingPatternIsRefusedAndWritesNothing();
};

class OverwriteTest : public QObject {
    Q_OBJECT
private slots:
    void noCancelLeavesEverythingAsItWas();
    void renameWritesTheNewName();
    void refusesRenamesThatLoseAFile();
    void newNamesStayBesideTheirOutputs();
    void pathsReadableAndTypeWidthKept();
    void skipTheseLeavesThemAndConvertsTheRest();
};

class SmallFormsTest : public QObject {
    Q_OBJECT
private slots:
    void errorsFormHoldsLinesAndWraps();
    void fileListShowsRowsAndOnlyHides();
    void progressViewHoldsTheTotalWhileCancelling();
    void progressViewSaysWhichRowIsVerified();
    void formsAndControlsSayWhatTheyAre();
    void pathLabelsElideWithinTheirWidth();
    void indicatorsStandOutOnADarkPalette();
};

class SelectorFormTest : public QObject {
    Q_OBJECT
private slots:
    void clicksAndSpaceMarkWithTheirPointers();
    void keysExpandClicksOnMarksAndIconsDoNot();
    void typeBoxesHeadersAndTheResizeBar();
    void typeBoxesFollowTheRegistry();
    void boxesOfTheNewTypesListAndCollectTheirFiles();
    void largeFontsAndNarrowWindowsCutNothing();
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
    void listFollowsTheSelectorsNameOrder();
    void folderPaneFitsItsNames();
    void convertFromBoxesSurviveARestart();
    void keepOpenReturnsToTheSelectorWithItsMarks();
    void cueSheetsListTheirTracksAndConvertThoseMarked();
};

class MirrorFormTest : public QObject {
    Q_OBJECT
private slots:
    void boxIsStoredAndGreyedWithoutThisFolder();
    void aSecondRunConfirmsWhatItDeletesAndKeeps();
};

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void everyForm_data();
    void everyForm();
    void aBrokenLayoutFails();
};

class NoticeTest : public QObject {
    Q_OBJECT
private slots:
    void aJobThatEndsUnseenIsNoticed();
};

// The desktop's notification service as a test stands it in: it records each notice.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    uint Notify(const QString& application, uint replaces, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout) {
        Q_UNUSED(replaces)
        Q_UNUSED(icon)
        Q_UNUSED(actions)
        Q_UNUSED(hints)
        Q_UNUSED(timeout)
        notices.append(application + " | " + summary + " | " + body);
        return static_cast<uint>(notices.size());
    }

public:
    QStringList notices;
};

// Records the web pages the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

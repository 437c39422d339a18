#pragma once
#include <QObject>

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

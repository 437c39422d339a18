#pragma once
#include <QObject>

class OverwriteTest : public QObject {
    Q_OBJECT
private slots:
    void noCancelLeavesEverythingAsItWas();
    void renameWritesTheNewName();
    void refusesRenamesThatLoseAFile();
    void renameCheckRules();
};

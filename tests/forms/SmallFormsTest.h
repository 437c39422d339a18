#pragma once
#include <QObject>

class SmallFormsTest : public QObject {
    Q_OBJECT
private slots:
    void errorsFormHoldsLinesAndWraps();
    void fileListShowsRowsAndOnlyHides();
};

#pragma once
#include <QObject>

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void everyForm_data();
    void everyForm();
};

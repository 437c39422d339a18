#pragma once
#include <QObject>
#include <QUrl>

class ConversionJobTest : public QObject {
    Q_OBJECT
private slots:
    void jobToEachTarget();
    void failuresEndInTheErrorsForm();
    void cancelThenASecondJob();
    void wmaWithoutItsModuleStartsNothing();
};

// Records the web pages the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

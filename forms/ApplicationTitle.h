#pragma once
// The application title: the text of the visible form's title bar and of the taskbar, and the
// caption of every message box. During a job it carries the percentage ("BMC 42% Converted") and
// keeps the last one afterwards, so the boxes that close a job show it.
#include <QObject>
#include <QString>

class ApplicationTitle : public QObject {
    Q_OBJECT
public:
    static ApplicationTitle& Instance();
    static QString Text() { return Instance().text_; }
    static void Set(const QString& text);

signals:
    void Changed(const QString& text);

private:
    ApplicationTitle() = default;
    QString text_ = QStringLiteral("Brindlex Music Converter");
};

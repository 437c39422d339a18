#pragma once
// The application title: the text of the visible form's title bar and of the taskbar, and the
// caption of every message box. During a job it carries the percentage ("BMC 42% Converted") and
// keeps the last one until the boxes that close a job have shown it; then the program's name
// returns (Restore).
#include <QObject>
#include <QString>

class ApplicationTitle : public QObject {
    Q_OBJECT
public:
    static ApplicationTitle& Instance();
    static QString Text() { return Instance().text_; }
    static void Set(const QString& text);
    // Back to the program's name, once a job's closing boxes are gone.
    static void Restore() { Set(ProgramName()); }
    static QString ProgramName() { return QStringLiteral("Brindlex Music Converter"); }

signals:
    void Changed(const QString& text);

private:
    ApplicationTitle() = default;
    QString text_ = ProgramName();
};

#pragma once
// Opens a page or an address (help pages, the maker's pages, the support address) with the
// desktop's program for it, and listens for the answer: when no program took it (no web browser,
// no mail program), a message box says so and gives the file's path or the address, selectable,
// so that the user can open it by other means. The window never waits for the answer: it comes
// when the desktop's opener ends.
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

#include "system/OpenerProcess.h"

class QSocketNotifier;
class QWidget;

class PageOpener : public QObject {
    Q_OBJECT
public:
    // owner: the window the message box belongs to (it may be hidden or gone by then).
    // accepted runs once a program took the page; also when the program ends while the opener
    // still shows it (a browser in the foreground). The opener returned lives until its
    // verdict is heard (and told), then goes by itself.
    static PageOpener* Open(QWidget* owner, const QUrl& url, std::function<void()> accepted = {});

    ~PageOpener() override;

signals:
    // The opener's verdict was heard (before a refusal is told).
    void finished(bool accepted);

private:
    PageOpener(QWidget* owner, const QUrl& url, std::function<void()> accepted);
    void Ended();
    void TellNotOpened();

    QPointer<QWidget> owner_;
    QUrl url_;
    std::function<void()> accepted_;
    OpenerProcess opener_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

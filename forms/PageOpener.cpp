#include "forms/PageOpener.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include "forms/ApplicationTitle.h"

PageOpener::PageOpener(QWidget* owner, const QUrl& url, std::function<void()> accepted)
    : QObject(qApp), owner_(owner), url_(url), accepted_(std::move(accepted)),
      opener_(url.toString(QUrl::FullyEncoded).toStdString()) {
    if (opener_.EndDescriptor() >= 0) {
        notifier_ =
            std::make_unique<QSocketNotifier>(opener_.EndDescriptor(), QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &PageOpener::Ended);
    } else {
        // It never started (or cannot be watched): the verdict is known now.
        QMetaObject::invokeMethod(this, &PageOpener::Ended, Qt::QueuedConnection);
    }
}

PageOpener::~PageOpener() {
    // The program ends while the opener still shows the page: it was taken.
    if (accepted_ && opener_.Poll() == OpenerProcess::State::Running) {
        accepted_();
    }
}

PageOpener* PageOpener::Open(QWidget* owner, const QUrl& url, std::function<void()> accepted) {
    return new PageOpener(owner, url, std::move(accepted)); // goes once it heard the verdict
}

void PageOpener::Ended() {
    const OpenerProcess::State state = opener_.Poll();
    if (state == OpenerProcess::State::Running) {
        return;
    }
    notifier_.reset();
    const bool accepted = state == OpenerProcess::State::Accepted;
    if (accepted && accepted_) {
        accepted_();
    }
    accepted_ = nullptr;
    deleteLater();
    emit finished(accepted);
    if (!accepted) {
        TellNotOpened();
    }
}

void PageOpener::TellNotOpened() {
    const bool file = url_.isLocalFile();
    const QString what = file ? url_.toLocalFile() : url_.toString();
    const QString text =
        (file ? QStringLiteral("The page could not be opened: no program for web pages took it.")
              : QStringLiteral("The address could not be opened: no program for it was found.")) +
        QStringLiteral("\n\n") +
        (file ? QStringLiteral("The page is the file\n") : QStringLiteral("The address is\n")) +
        what;
    QWidget* owner = owner_ && owner_->isVisible() ? owner_.data() : nullptr;
    QMessageBox box(QMessageBox::Information, ApplicationTitle::Text(), text, QMessageBox::Ok,
                    owner);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setObjectName(QStringLiteral("PageNotOpened"));
    box.exec();
}

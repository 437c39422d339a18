#include "forms/AppMessage.h"

#include "forms/ApplicationTitle.h"

QMessageBox::StandardButton AppMessage(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                       QMessageBox::StandardButtons buttons, bool topmost) {
    return static_cast<QMessageBox::StandardButton>(
        MakeAppMessage(owner, icon, text, buttons, topmost)->exec());
}

std::unique_ptr<QMessageBox> MakeAppMessage(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons, bool topmost) {
    // A hidden owner would hide the box with it.
    auto box = std::make_unique<QMessageBox>(icon, ApplicationTitle::Text(), text, buttons,
                                             owner && owner->isVisible() ? owner : nullptr);
    if (topmost) {
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return box;
}

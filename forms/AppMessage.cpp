#include "forms/AppMessage.h"

#include "forms/ApplicationTitle.h"

QMessageBox::StandardButton AppMessage(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                       QMessageBox::StandardButtons buttons, bool topmost) {
    // A hidden owner would hide the box with it.
    QMessageBox box(icon, ApplicationTitle::Text(), text, buttons,
                    owner && owner->isVisible() ? owner : nullptr);
    if (topmost) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

#pragma once
// A message box captioned with the application title.
#include <QMessageBox>
#include <memory>

class QWidget;

QMessageBox::StandardButton AppMessage(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       bool topmost = false);
// The same box, not yet shown, for a caller that adds to it.
std::unique_ptr<QMessageBox> MakeAppMessage(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            bool topmost = false);

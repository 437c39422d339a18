#pragma once
// A message box captioned with the application title.
#include <QMessageBox>

class QWidget;

QMessageBox::StandardButton AppMessage(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       bool topmost = false);

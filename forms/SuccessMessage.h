#pragma once
// The box that ends a job in which every file was converted. It offers to keep the program open
// for another job; the settings store keeps that choice ("BrConvKeepOpen"), off until the user
// ticks it, so that the program ends after a job as it always has.
class QString;
class QWidget;

// Shows text with the choice; true when the program is to stay open.
bool SuccessMessage(QWidget* owner, const QString& text);

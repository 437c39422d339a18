#pragma once
// What a user sees as a broken window: two visible widgets side by side that cover each other, a
// widget that sticks out of the one it sits in, and a text cut short: a label, button, list header
// or drop-down item wider (or, wrapped, taller) than the room it has, or a path elided although
// it would fit.
#include <QList>
#include <QPair>
#include <QStringList>

class QWidget;

namespace formtest {

// What a window's design does on purpose, by object names.
struct LayoutDesign {
    // Siblings laid over each other.
    QList<QPair<QString, QString>> overlaps;
    // Labels that show only part of their picture (the fill of a progress bar).
    QStringList croppedPictures;
};

// One line per fault, naming the widgets by their object names; empty when the window is sound.
QStringList LayoutFaults(const QWidget* window, const LayoutDesign& design = {});

} // namespace formtest

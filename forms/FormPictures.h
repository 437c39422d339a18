#pragma once
// The pictures drawn for the forms (SVG in the forms' resources), rendered sharp at the screen's
// pixel ratio, and the heading colour, which stays readable on dark themes.
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QPalette;
class QWidget;

class FormPictures {
public:
    // name: a file in the pictures resource, e.g. "next.svg".
    static QIcon Icon(const QString& name);
    // The picture at size (device-independent pixels) for the screen of widget.
    static QPixmap Pixmap(const QString& name, QSize size, const QWidget* widget);
    // Navy on a light window, light blue on a dark one.
    static QColor HeadingColor(const QPalette& palette);
    // Gives a label the heading colour of its palette.
    static void ColourHeading(QWidget* label);
};

#include "forms/FormPictures.h"

#include <QPalette>
#include <QWidget>
#include <mutex>

// The resources live in a static library: they must be registered by hand.
static void RegisterFormResources() {
    Q_INIT_RESOURCE(forms);
    Q_INIT_RESOURCE(format_pictures);
}

QIcon FormPictures::Icon(const QString& name) {
    static std::once_flag registered;
    std::call_once(registered, RegisterFormResources);
    return QIcon(QStringLiteral(":/pictures/") + name);
}

QPixmap FormPictures::Pixmap(const QString& name, QSize size, const QWidget* widget) {
    const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;
    return Icon(name).pixmap(size, ratio);
}

QColor FormPictures::HeadingColor(const QPalette& palette) {
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    return dark ? QColor(0x93, 0xc5, 0xfd) : QColor(0x00, 0x00, 0x80);
}

void FormPictures::ColourHeading(QWidget* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, HeadingColor(palette));
    label->setPalette(palette);
}

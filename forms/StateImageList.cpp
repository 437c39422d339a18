#include "forms/StateImageList.h"

#include <QFile>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

#include "forms/FormPictures.h"

namespace {
// The light pictures' colours and what stands for each on a dark base ("base": the palette's).
constexpr std::array<std::pair<const char*, const char*>, 7> DarkColours{{
    {"#ffffff", "base"},
    {"#3c4a5c", "#b4bfcc"},
    {"#1d5fbf", "#7fb2ff"},
    {"#1f9a3a", "#43c463"},
    {"#13662a", "#2f8f48"},
    {"#b8c2cf", "#6b7683"},
    {"#d0202a", "#ff5a5f"},
}};

QByteArray DarkSvg(QByteArray svg, const QPalette& palette) {
    for (const auto& [light, dark] : DarkColours) {
        const QByteArray colour = qstrcmp(dark, "base") == 0
                                      ? palette.color(QPalette::Base).name().toLatin1()
                                      : QByteArray(dark);
        svg.replace(QByteArray("\"") + light + "\"", "\"" + colour + "\"");
    }
    return svg;
}

// Sharp at every scale a screen may have.
QIcon Rendered(const QByteArray& svg) {
    QSvgRenderer renderer(svg);
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

StateImageList::StateImageList(const QPalette& palette) {
    const bool dark = IsDark(palette);
    for (int i = 0; i < StateImageCount; ++i) {
        const QString name = QStringLiteral("state-%1.svg").arg(i);
        if (!dark) {
            icons_[static_cast<std::size_t>(i)] = FormPictures::Icon(name);
            continue;
        }
        FormPictures::Icon(name); // registers the resources
        QFile file(QStringLiteral(":/pictures/") + name);
        if (file.open(QIODevice::ReadOnly)) {
            icons_[static_cast<std::size_t>(i)] = Rendered(DarkSvg(file.readAll(), palette));
        }
    }
}

QIcon StateImageList::Icon(int state) const {
    return state >= 0 && state < StateImageCount ? icons_[static_cast<std::size_t>(state)]
                                                 : QIcon();
}

bool StateImageList::IsDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

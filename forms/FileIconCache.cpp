#include "forms/FileIconCache.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

FileIconCache& FileIconCache::Shared() {
    static FileIconCache cache;
    return cache;
}

QIcon FileIconCache::IconFor(const std::string& ext) {
    const QString key = QString::fromStdString(ext).toLower();
    if (const auto found = icons_.constFind(key); found != icons_.constEnd()) {
        return *found;
    }
    // A name that exists nowhere, so the type comes from the name alone and nothing is read.
    QIcon icon = provider_.icon(QFileInfo(QStringLiteral("/nonexistent/file") + key));
    if (icon.isNull()) {
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    icons_.insert(key, icon);
    return icon;
}

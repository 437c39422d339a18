#include "forms/FolderWatch.h"

namespace {
// QFileSystemWatcher reports folders without their final separator.
QString WithoutSeparator(const QString& path) {
    return path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path;
}
} // namespace

FolderWatch::FolderWatch(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &FolderWatch::Tell);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::Changed);
}

void FolderWatch::Watch(const QString& path) {
    if (Count() < MaxFolders && !Watches(path)) {
        watcher_.addPath(WithoutSeparator(path));
    }
}

void FolderWatch::Unwatch(const QString& path) {
    if (Watches(path)) {
        watcher_.removePath(WithoutSeparator(path));
    }
}

int FolderWatch::Count() const {
    return static_cast<int>(watcher_.directories().size());
}

bool FolderWatch::Watches(const QString& path) const {
    return watcher_.directories().contains(WithoutSeparator(path));
}

void FolderWatch::Changed(const QString& path) {
    pending_.insert(path == QLatin1String("/") ? path : path + QLatin1Char('/'));
    settle_.start();
}

void FolderWatch::Tell() {
    const QStringList paths(pending_.begin(), pending_.end());
    pending_.clear();
    emit changed(paths);
}

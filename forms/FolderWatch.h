#pragma once
// Watches the folders the selector shows open, so that sub-folders made or removed elsewhere
// appear and go by themselves. The number of folders watched at once is bounded (each costs an
// inotify watch, of which a user has a limited number): past the bound a folder opened is not
// watched, and F5 still reads it. Changes that come in a burst (a copy of an album) are told
// once, a moment after the last.
#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class FolderWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxFolders = 256;
    static constexpr int SettleMs = 150;

    explicit FolderWatch(QObject* parent = nullptr);

    // path: a folder path (ending in "/"). Watching one already watched does nothing.
    void Watch(const QString& path);
    void Unwatch(const QString& path);
    int Count() const;
    bool Watches(const QString& path) const;

signals:
    // The folders that changed since the last signal, each once (paths as given to Watch).
    void changed(const QStringList& paths);

private:
    void Changed(const QString& path);
    void Tell();

    QFileSystemWatcher watcher_;
    QSet<QString> pending_;
    QTimer settle_;
};

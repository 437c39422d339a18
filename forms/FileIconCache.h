#pragma once
// File icons by extension: the desktop's icon for a file type is looked up once per extension,
// however many rows show it (a lookup reads the MIME database and the icon theme).
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <string>

class FileIconCache {
public:
    static FileIconCache& Shared();
    // ext with its dot, any letter case; "." for a file without an extension.
    QIcon IconFor(const std::string& ext);

private:
    QFileIconProvider provider_;
    QHash<QString, QIcon> icons_;
};

#pragma once
// The list of files to convert in a window of its own: shown by the file selector while it builds
// the list ("Adding Selected Files") and by the options form ("Files To Be Converted"). Closing
// it only hides it; the rows stay until the next build clears them. Each row shows the file's
// path without its extension, given way in its middle when the column is narrow (the whole path
// is the row's tooltip), and with its extension where another row has the same path but for it.
// The "Name" column stretches with the window; the widths of the others are kept in the settings
// store when the form goes.
#include <QDialog>
#include <QHash>
#include <memory>

#include "selector/ConvertRow.h"

namespace Ui {
class FileListWindow;
}
class QTreeWidgetItem;

class FileListWindow : public QDialog {
    Q_OBJECT
public:
    explicit FileListWindow(QWidget* parent = nullptr);
    ~FileListWindow() override;

    // The title line above the list.
    void SetHeading(const QString& text);
    // The count under the list, "12 Files" while a build runs.
    void SetCountText(const QString& text);
    void Clear();
    // Appends a row: the path without its extension, the size text, the type; the extension is
    // kept with the row.
    void AddFile(const ConvertRow& row);
    int Count() const;

private slots:
    void cmdCloseClick();

private:
    std::unique_ptr<Ui::FileListWindow> ui;
    // The first row of each caption, whose extension shows once a twin comes.
    QHash<QString, QTreeWidgetItem*> firstOfCaption_;
};

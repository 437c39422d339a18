#pragma once
// The file selector, the program's main window: the folder tree and the file list of the selected
// folder, where the user marks folders and files; Next turns the marks into the list of files to
// convert and passes it to the options form. Every other launch of the program hands its file
// over to this window's timer, and files and folders dropped onto it are marked the same way.
// Closing the window ends the program.
//
// The window is a view over FileSelectorModel: each user action becomes one call there, after
// which the tree and the list are made to show the model again. Its view choices (hidden
// folders, the divider, column widths) are kept in the settings store when it goes.
#include <QHash>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "forms/FolderWatch.h"
#include "forms/SelectorCursors.h"
#include "forms/StateImageList.h"
#include "selector/FileSelectorModel.h"
#include "selector/SelectorSettings.h"
#include "system/HandOverMessage.h"

namespace Ui {
class FileSelectorWindow;
}
class QAction;
class QCheckBox;
class QMouseEvent;
class QKeyEvent;
class QTreeWidgetItem;
class OptionsForm;
class FileListWindow;

class FileSelectorWindow : public QWidget {
    Q_OBJECT
public:
    explicit FileSelectorWindow(
        const FolderTree::Locations& locations = FolderTree::Locations::FromEnvironment(),
        QWidget* parent = nullptr);
    ~FileSelectorWindow() override;

    // The forms Next fills and shows.
    void Attach(OptionsForm& options, FileListWindow& fileList);

    // Marks a file or a folder (a path ending in "/") handed over by another launch: its folder
    // is opened and selected, and the file ticked (the folder marked with its sub-folders)
    // unless a mark covers it already. The window may be hidden meanwhile.
    void SelectPassedFile(const std::string& path);

    const FileSelectorModel& Model() const { return model_; }
    // The pointer shape id (selector/SelectorCursor.h) shown over the tree or the list now.
    int CursorShown(const QWidget* viewport) const;
    // The folders watched for sub-folders made or removed elsewhere.
    const FolderWatch& Watch() const { return watch_; }

    // Runs when the window is closed or Exit is pressed; quits the application unless replaced.
    std::function<void()> OnEndProgram;
    // Runs after the timer has taken a message of another launch and acted on it (a path marked,
    // or, for an empty path, the window brought to the front).
    std::function<void(const HandOverMessage& message)> OnPassedFile;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void treeFoldersChange(QTreeWidgetItem* current);
    void treeFoldersExpanding(QTreeWidgetItem* item);
    void treeFoldersCollapsed(QTreeWidgetItem* item);
    void lstFilesColumnClick(int column);
    void cmdNextClick();
    void cmdHelpClick();
    void cmdAboutClick();
    void cmdExitClick();
    void tmrHandOverTimer();
    void RefreshClick();
    void ShowHiddenClick(bool shown);
    void FoldersChanged(const QStringList& paths);

private:
    void SetUpControls();
    void SetUpTypeBoxes();
    // A box showing type's files, stored under key when unticked; previous: the control before it
    // in the tab order.
    QCheckBox* AddTypeBox(const QString& text, const QString& name, ShownFileType type,
                          std::string_view key, QWidget* previous);
    void SetUpPanes();
    void SetUpViews();
    void SetUpListColumns();
    void SetUpActions();
    void ShowKey();
    void ShowPictures();
    void FormResize();
    void LayoutPanes();
    void FitFolderPane();
    void SaveSettings();

    bool TreeEvent(QEvent* event);
    bool ListEvent(QEvent* event);
    bool ResizeBarEvent(QEvent* event);
    void treeFoldersMouseDown(QMouseEvent* event);
    void treeFoldersMouseMove(QPoint pos);
    void lstFilesMouseDown(QMouseEvent* event);
    void lstFilesMouseMove(QPoint pos);
    bool treeFoldersKeyDown(QKeyEvent* event);
    bool lstFilesKeyDown(QKeyEvent* event);
    void panResizeBarMouseDown(QMouseEvent* event);
    void panResizeBarMouseMove(QMouseEvent* event);
    void ShowContextMenu(QWidget* view, QPoint pos);

    void ClickFolderMark(QTreeWidgetItem* item);
    void ClickFileMark(int row);
    void ExpandAllBelow(QTreeWidgetItem* item);
    void SetTypeShown(ShownFileType type, bool shown);
    void BuildConvertList();
    void RefreshFolder(FolderNode& node);
    void TakeDroppedPaths(const QList<QUrl>& urls);
    QWidget& FrontWindow();

    // Making the widgets show the model.
    void AddTopLevelItems(std::string home);
    void ShowTree();
    void ShowTreeItem(QTreeWidgetItem* item);
    void SyncChildItems(QTreeWidgetItem* item, const FolderNode& node);
    QTreeWidgetItem* NewFolderItem(const FolderNode& node, const QIcon& icon);
    void ForgetItem(QTreeWidgetItem* item);
    void ShowSelectedNode();
    void ShowFiles();
    void ShowFileMarks();
    void SetCursor(QWidget* viewport, int id);

    static FolderNode* NodeOf(const QTreeWidgetItem* item);
    static bool ShowsNode(const QTreeWidgetItem* item, const FolderNode& node);
    QTreeWidgetItem* ItemOf(const FolderNode* node) const;
    std::vector<std::size_t> SelectedRows() const;
    int CurrentRow() const;

    std::unique_ptr<Ui::FileSelectorWindow> ui;
    FileSelectorModel model_;
    SelectorSettings settings_;
    StateImageList imgState;
    std::unique_ptr<SelectorCursors> cursors_;
    QIcon folderIcon_;
    QIcon driveIcon_;
    QHash<const FolderNode*, QTreeWidgetItem*> items_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
    FolderWatch watch_;
    // Folders that changed while the window was hidden: read when it shows again.
    QSet<QString> changedWhileHidden_;
    QAction* refreshAction_ = nullptr;
    QAction* hiddenAction_ = nullptr;

    OptionsForm* options_ = nullptr;
    FileListWindow* fileList_ = nullptr;

    // Set while the window itself expands items or moves the current item (a handed-over file
    // being located, the tree following the model), so that those signals are not taken for the
    // user's.
    bool changingTree_ = false;
    bool building_ = false;
    bool barDragging_ = false;
    bool barMoved_ = false;
    int grabOffset_ = 0;
    // The stored divider, put in place once the window is wide enough for it.
    int wantedDivider_ = 0;
    // The divider's place in the form's design: the folder pane is never narrower.
    int designedDivider_ = 0;
};

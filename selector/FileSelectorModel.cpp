#include "selector/FileSelectorModel.h"

#include <sys/stat.h>

#include <algorithm>

#include "selector/SheetTracks.h"
#include "system/FileNames.h"

namespace {
bool ShowsFileMarksOfItsOwn(int state) {
    return state == stJustFiles || state == stFully;
}

// Through links, as the tree reads folders.
bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

FileSelectorModel::FileSelectorModel(const FolderTree::Locations& locations) : tree_(locations) {
    RefreshFileList(); // empty, with its location caption
}

bool FileSelectorModel::SelectFolder(FolderNode* node) {
    if (node == selected_) {
        return false;
    }
    selected_ = node;
    RefreshFileList();
    return true;
}

void FileSelectorModel::RefreshFileList() {
    files_.Refill(selected_ ? selected_->path : std::string(), types_);
    RefreshFileMarks();
    files_.Sort();
}

std::size_t FileSelectorModel::ExpandFolder(FolderNode& node) {
    SelectFolder(&node);
    if (node.childrenLoaded) {
        return 0;
    }
    const std::size_t added = FolderTree::LoadSubfolders(node);
    for (const auto& child : node.children) {
        child->state = FolderStateOnLoad(*child);
    }
    return added;
}

void FileSelectorModel::SetTypeShown(ShownFileType type, bool shown) {
    types_.Set(type, shown);
    RefreshFileList();
}

bool FileSelectorModel::IsOnSelectedPath(const FolderNode& node) const {
    for (const FolderNode* n = selected_; n; n = n->parent) {
        if (n == &node) {
            return true;
        }
    }
    return false;
}

bool FileSelectorModel::IsShown(const FolderNode& node) const {
    return showHidden_ || !node.hidden || IsOnSelectedPath(node);
}

bool FileSelectorModel::ShowsExpandButton(const FolderNode& node) const {
    if (!node.childrenLoaded) {
        return showHidden_ ? node.hasChildren : node.hasShownChildren;
    }
    return std::any_of(node.children.begin(), node.children.end(),
                       [this](const auto& child) { return IsShown(*child); });
}

FolderNode& FileSelectorModel::RefreshFolder(FolderNode& node) {
    FolderNode* reread = &node;
    while (reread->parent && !IsFolder(reread->path)) {
        reread = reread->parent;
    }
    if (reread->childrenLoaded) {
        // Paths only: the nodes of the folders that went are gone after the reading.
        const std::string selectedPath = selected_ ? selected_->path : std::string();
        const FolderTree::Reread changes = FolderTree::ReadSubfolders(*reread);
        for (const std::string& path : changes.removedPaths) {
            lists_.ClearMarksAtAndBelow(path);
            if (selectedPath.starts_with(path)) {
                selected_ = reread;
            }
        }
        for (FolderNode* child : changes.added) {
            child->state = FolderStateOnLoad(*child);
        }
        UpdateMarksUpward(*reread);
    } else if (reread->parent) {
        const FolderTree::Subfolders below = FolderTree::FindSubfolders(reread->path);
        reread->hasChildren = below.any;
        reread->hasShownChildren = below.shown;
    }
    if (selected_ == reread) {
        RefreshFileList();
    }
    return *reread;
}

FolderNode* FileSelectorModel::FindFolder(const std::string& path) const {
    FolderNode* node = DeepestTopLevel(path);
    while (node && node->path != path) {
        FolderNode* next = nullptr;
        for (const auto& child : node->children) {
            if (path.starts_with(child->path)) {
                next = child.get();
                break;
            }
        }
        node = next;
    }
    return node;
}

void FileSelectorModel::SortByColumn(int column) {
    files_.ColumnClick(column);
}

int FileSelectorModel::FolderStateOnLoad(const FolderNode& node) const {
    const bool inherits = node.parent && node.parent->state == stFully;
    return inherits && !SelectionLists::ListContainsPath(lists_.dirsToExclude, node.path) ? stFully
                                                                                          : stNone;
}

int FileSelectorModel::FileMarkOf(std::size_t row) const {
    if (!selected_ || row >= files_.Size()) {
        return stNone;
    }
    const std::string path = files_.FullPath(row);
    const bool covered = ShowsFileMarksOfItsOwn(selected_->state) ||
                         SelectionLists::ListContainsPath(lists_.filesToBack, path);
    return covered && !SelectionLists::ListContainsPath(lists_.filesToExclude, path)
               ? stFileConverted
               : stNone;
}

void FileSelectorModel::ClickFolderMark(FolderNode& node) {
    SelectFolder(&node);
    const int shown = node.state;
    const bool parentFully = node.parent && node.parent->state == stFully;
    if (shown == stNone) {
        MarkFully(node);
        return;
    }
    lists_.ClearMarksAtAndBelow(node.path);
    if (shown == stFully) {
        node.state = stJustFiles;
        lists_.dirsToJustFilesBack.Append(node.path);
    } else {
        node.state = stNone;
        if (parentFully) {
            lists_.dirsToExclude.Append(node.path);
        }
    }
    ResetDescendants(node);
    UpdateMarksUpward(node);
    RefreshFileMarks();
}

// What a click on an empty box does: the folder with all its sub-folders, every mark at and
// below it given up for this one.
void FileSelectorModel::MarkFully(FolderNode& node) {
    lists_.ClearMarksAtAndBelow(node.path);
    node.state = stFully;
    if (!node.parent || node.parent->state != stFully) {
        lists_.dirsToFullyBack.Append(node.path);
    }
    ResetDescendants(node);
    UpdateMarksUpward(node);
    RefreshFileMarks();
}

void FileSelectorModel::ResetDescendants(FolderNode& node) {
    for (const auto& child : node.children) {
        child->state = FolderStateOnLoad(*child);
        ResetDescendants(*child);
    }
}

void FileSelectorModel::UpdateMarksUpward(FolderNode& node) {
    if (node.state == stNone || node.state == stToSelected || node.state == stContainsFiles) {
        node.state = lists_.FolderHasTickedFiles(node.path) ? stContainsFiles : stNone;
    }
    for (FolderNode* n = &node; n; n = n->parent) {
        if (n->state != stNone && n->state != stToSelected) {
            continue;
        }
        const bool marksBelow =
            std::any_of(n->children.begin(), n->children.end(),
                        [](const auto& child) { return child->state != stNone; });
        n->state = marksBelow ? stToSelected : stNone;
    }
}

void FileSelectorModel::RefreshFileMarks() {
    for (std::size_t i = 0; i < files_.Size(); ++i) {
        files_.SetState(i, FileMarkOf(i));
    }
}

void FileSelectorModel::ToggleFileMark(std::size_t row) {
    if (row >= files_.Size()) {
        return;
    }
    const std::string path = files_.FullPath(row);
    const bool wasTicked = files_.Rows()[row].state == stFileConverted;
    lists_.RemoveFileMarks(path);
    if (!wasTicked) {
        if (FileMarkOf(row) == stNone) {
            lists_.filesToBack.Append(path);
        }
        files_.SetState(row, stFileConverted);
    } else {
        if (FileMarkOf(row) == stFileConverted) {
            lists_.filesToExclude.Append(path);
        }
        files_.SetState(row, stNone);
    }
}

void FileSelectorModel::ClickFileMark(const std::vector<std::size_t>& selectedRows,
                                      std::size_t clickedRow) {
    if (clickedRow >= files_.Size()) {
        return;
    }
    const bool clickedIsSelected =
        std::find(selectedRows.begin(), selectedRows.end(), clickedRow) != selectedRows.end();
    if (selectedRows.size() >= 2 && clickedIsSelected) {
        // First to last in the list, each row once.
        std::vector<std::size_t> rows = selectedRows;
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        for (std::size_t row : rows) {
            ToggleFileMark(row);
        }
    } else {
        ToggleFileMark(clickedRow);
    }
    if (selected_) {
        UpdateMarksUpward(*selected_);
    }
}

FolderNode* FileSelectorModel::FindNode(const std::vector<std::unique_ptr<FolderNode>>& nodes,
                                        const std::string& path) const {
    for (const auto& node : nodes) {
        if (node->path == path) {
            return node.get();
        }
    }
    return nullptr;
}

FolderNode* FileSelectorModel::DeepestTopLevel(const std::string& folder) const {
    FolderNode* best = nullptr;
    for (const auto& node : tree_.TopLevel()) {
        if (folder.starts_with(node->path) && (!best || node->path.size() > best->path.size())) {
            best = node.get();
        }
    }
    return best;
}

std::vector<std::size_t> FileSelectorModel::FindRows(const std::string& path) const {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < files_.Size(); ++i) {
        if (SheetTracks::SheetOfKey(files_.FullPath(i)) == path) {
            rows.push_back(i);
        }
    }
    return rows;
}

// Expands each folder from the top-level node down to folder, which ends selected when it is
// reachable. A folder made since its parent was read is found by reading the parent again.
void FileSelectorModel::WalkTo(const std::string& folder, PassedFile& result) {
    FolderNode* node = DeepestTopLevel(folder);
    std::size_t end = node ? node->path.size() : 0; // length of the prefix matched so far
    while (node) {
        ExpandFolder(*node);
        result.expanded.push_back(node);
        FolderNode* parent = node;
        node = nullptr;
        // Each level's prefix ends one separator further; a level without a match is passed
        // over, and the next one is looked for among the same children.
        while (!node && end < folder.size()) {
            end = folder.find(PathSeparator, end) + 1;
            const std::string prefix = folder.substr(0, end);
            node = FindNode(parent->children, prefix);
            if (!node && IsFolder(prefix)) {
                parent = &RefreshFolder(*parent);
                node = FindNode(parent->children, prefix);
            }
        }
    }
}

FileSelectorModel::PassedFile FileSelectorModel::SelectPassedFile(const std::string& path) {
    PassedFile result;
    const std::string folder = GetFolderPart(path);
    if (folder.empty() || folder.back() != PathSeparator) {
        return result;
    }
    const bool isFolder = folder.size() == path.size();
    if (!selected_ || selected_->path != folder) {
        WalkTo(folder, result);
    }
    // Only a row of the folder itself: another folder's row of the same name is another file.
    if (!selected_ || selected_->path != folder) {
        return result;
    }
    if (isFolder) {
        if (selected_->state != stFully) {
            MarkFully(*selected_);
            result.markedFolder = true;
        }
        return result;
    }
    auto rows = FindRows(path);
    if (rows.empty() && result.expanded.empty()) {
        RefreshFileList(); // the list was read before the file arrived
        rows = FindRows(path);
    }
    for (const std::size_t row : rows) {
        if (FileMarkOf(row) == stNone) {
            const std::string key = files_.FullPath(row);
            lists_.RemoveFileMarks(key);
            lists_.filesToBack.Append(key);
            files_.SetState(row, stFileConverted);
            result.markedRow = result.markedRow.value_or(row);
        }
    }
    if (result.markedRow) {
        UpdateMarksUpward(*selected_);
    }
    return result;
}

std::vector<ConvertRow>
FileSelectorModel::BuildConvertList(ConvertListBuilder::Progress afterEachFile) const {
    return ConvertListBuilder(lists_, types_, std::move(afterEachFile)).Build();
}

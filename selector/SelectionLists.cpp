#include "selector/SelectionLists.h"

#include "system/FileNames.h"

void SelectionLists::ClearMarksAtAndBelow(const std::string& folderPath) {
    for (PathList* list :
         {&dirsToFullyBack, &dirsToJustFilesBack, &dirsToExclude, &filesToBack, &filesToExclude}) {
        list->RemoveWithPrefix(folderPath);
    }
}

void SelectionLists::RemoveFileMarks(const std::string& filePath) {
    filesToBack.Remove(filePath);
    filesToExclude.Remove(filePath);
}

bool SelectionLists::FolderHasTickedFiles(const std::string& folderPath) const {
    for (const std::string& entry : filesToBack.Entries()) {
        std::string folder = GetFolderPart(entry);
        WithTrailingSlash(folder);
        if (folder == folderPath) {
            return true;
        }
    }
    return false;
}

bool SelectionLists::Empty() const {
    return dirsToFullyBack.Size() == 0 && dirsToJustFilesBack.Size() == 0 &&
           dirsToExclude.Size() == 0 && filesToBack.Size() == 0 && filesToExclude.Size() == 0;
}

#pragma once
// What the user marked, as five ordered path lists. Folder entries end in "/"; file entries are
// folder path + name. The marks shown in the tree and the file list are computed from these
// (FileSelectorModel), and ConvertListBuilder expands them into the files to convert.
//
// Every click on a folder first clears the entries at and below it, and every click on a file
// first removes that file's entries, so a path has at most one entry in the five lists.
#include <string>

#include "selector/PathList.h"

class SelectionLists {
public:
    PathList dirsToFullyBack;     // "Fully": folders converted with all their sub-folders
    PathList dirsToJustFilesBack; // "Just files": folders whose own files are converted
    PathList dirsToExclude;       // "Exclude": folders cut out of an ancestor's "Fully"
    PathList filesToBack;         // "Single files": files marked one by one
    PathList filesToExclude;      // "Files to exclude": files unmarked inside a marked folder

    // Exact comparison of whole paths.
    static bool ListContainsPath(const PathList& list, const std::string& path) {
        return list.Contains(path);
    }
    // Removes, from all five lists, every entry that begins with the folder path: the folder's
    // own entry and those of everything below it. A sibling whose name merely begins with the
    // same letters is untouched, because folder paths end in "/".
    void ClearMarksAtAndBelow(const std::string& folderPath);
    // Removes the file's entries from the two file lists.
    void RemoveFileMarks(const std::string& filePath);
    // True when "Single files" holds a file lying directly in the folder.
    bool FolderHasTickedFiles(const std::string& folderPath) const;
    bool Empty() const;
};

#pragma once
// Turns the edited rows of the overwrite confirmation into rename entries, refusing a new name
// that would lose a file nobody was asked about (one that names another existing file, repeats
// another row's new name, or is empty) or could not be written (its folder does not exist). A new
// name that is not a full path is taken relative to the folder of the output it renames, never
// to the program's working folder.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/RenameTable.h"

struct OverwriteRow {
    std::string OutputPath;    // the existing output as listed
    std::string ListedCaption; // the caption as listed: the output path without its extension
    std::string Caption;       // the caption now, possibly edited
    std::string Extension;     // kept: a rename never changes it
};

struct RenameVerdict {
    std::vector<RenameTable::Entry> Entries; // in row order; empty when refused
    std::optional<std::size_t> RefusedRow;
    std::string Refusal; // the message naming the refused name
};

// otherFile(newPath, ownOutput) says whether newPath names an existing file other than ownOutput.
using OtherFileTest = std::function<bool(const std::string&, const std::string&)>;

// folderExists(folder) says whether a new name's folder is there to write into.
using FolderTest = std::function<bool(const std::string&)>;

// The default test: something exists at newPath and it is not ownOutput itself.
bool NamesOtherExistingFile(const std::string& newPath, const std::string& ownOutput);
bool IsExistingFolder(const std::string& folder);

// A caption as typed, made a full path: a relative one is taken from the folder of outputPath,
// and "." and ".." are resolved by the text alone.
std::string ResolveCaption(const std::string& caption, const std::string& outputPath);

// A row is renamed when its caption differs from the listed one, letter case included; its new
// path is the resolved caption plus the listed extension.
RenameVerdict CheckRenames(const std::vector<OverwriteRow>& rows,
                           const OtherFileTest& otherFile = NamesOtherExistingFile,
                           const FolderTest& folderExists = IsExistingFolder);

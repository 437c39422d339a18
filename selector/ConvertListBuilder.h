#pragma once
// Expands the marks into the flat list of files to convert:
//   1. each "Fully" folder: its files, and those of each sub-folder (depth first) unless it is
//      excluded or marked "Just files";
//   2. each "Just files" folder: its own files;
//   3. each single file, whatever its type.
// A cue sheet stands for its tracks (a track's key, SheetTracks::TrackKey, for that one only),
// and an audio file that a collected sheet splits is not collected whole too.
// The list is then put in the order the selector shows the names, so that the job goes as the
// user sees the files: folders as the tree sorts them, a folder's own files (as the file list
// sorts them by name) before those of its sub-folders. Files in folders count only when their
// type is shown (ShownTypes); a file in "Files to exclude" is never added. A folder that cannot be
// read adds nothing, and a folder already entered in this build (same device and inode, e.g.
// reached again through a symbolic link) is not entered again, so a link loop ends. A single file
// that has gone is still added, size 0.
//
// The view calls FileSelectorModel::BuildConvertList (or this class) when Next is pressed. The
// callback runs after every file considered, added or not, with the rows in the order found: the
// view shows rows.size() + " Files" (and may append the new rows) and processes pending events
// there, so a file handed over meanwhile can still join: the lists' lengths are read afresh at
// every step.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

#include "selector/ConvertRow.h"
#include "selector/SelectionLists.h"
#include "selector/SheetTracks.h"
#include "selector/ShownTypes.h"
#include "selector/TypeDescriptionCache.h"

class ConvertListBuilder {
public:
    using Progress = std::function<void(const std::vector<ConvertRow>& rowsSoFar)>;

    // lists is read while the build runs and may grow meanwhile (from within the callback).
    explicit ConvertListBuilder(const SelectionLists& lists, ShownTypes types = {},
                                Progress afterEachFile = {});
    std::vector<ConvertRow> Build();

private:
    // subFolder: folder's place below the marked folder it was reached from.
    void AddFolderFiles(const std::string& folder, bool recurse, const std::string& subFolder);
    void AddFileToConvert(const std::string& path, const std::string& subFolder);
    // The tracks of a cue sheet (only: just that one), or its own row when it cannot be read.
    void AddSheet(const std::string& sheetPath, const std::string& subFolder,
                  std::optional<unsigned> only = std::nullopt);
    void AddRow(ConvertRow row);
    const SheetTracks& Sheet(const std::string& sheetPath);
    void DropSplitAudio();
    bool EnterOnce(const std::string& folder);

    const SelectionLists& lists_;
    ShownTypes types_;
    Progress afterEachFile_;
    std::vector<ConvertRow> rows_;
    std::set<std::pair<dev_t, ino_t>> entered_;
    TypeDescriptionCache descriptions_;
    // Each sheet is read once per build, and the audio files they split are not collected whole.
    std::map<std::string, SheetTracks> sheets_;
    std::set<std::string> splitAudio_;
};

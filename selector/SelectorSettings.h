#pragma once
// The selector's view choices that outlive the program, in the settings store: whether hidden
// folders are shown, where the divider between the tree and the list stands, the widths of the
// columns of the selector's list and of the file-list form (the "Name" columns stretch with
// their windows, so only "Size" and "Type" are kept), and which "Convert [From]" boxes are
// ticked. A value that is missing, or out of reason, reads as 0: the designed place or width;
// a box without a stored value is ticked.
#include <array>
#include <functional>
#include <set>
#include <string>

class SelectorSettings {
public:
    // Widths and places are pixels, kept within these bounds.
    static constexpr int MaxPixels = 20000;

    bool showHiddenFolders = false;
    int dividerLeft = 0;                  // the resize bar's left edge in the work area
    std::array<int, 2> listColumns{};     // "Size" and "Type" of the selector's list
    std::array<int, 2> fileListColumns{}; // "Size" and "Type" of the file-list form
    // The "Convert [From]" boxes left unticked, by their formats' keys ("mp3").
    std::set<std::string, std::less<>> untickedTypeBoxes;

    static SelectorSettings Load();
    // Each window keeps its own: the selector's view, and the file-list form's columns.
    void SaveSelectorView() const;
    void SaveFileListColumns() const;
};

#pragma once
// The files that put "Convert To" into the desktops' file managers and "Open With". Each hands
// every chosen file to the program at executable with "--hand-over", which passes them to the
// running window one after the other. Every file that "brindlex --install" writes carries
// OwnerLine, by which a later install or removal knows the file as ours; the package's own copies
// (SystemActionFiles.h) carry PackageLine instead. Dolphin's, Nemo's and the file-manager actions
// take folders as well as files.
#include <string>
#include <string_view>

    inline constexpr std::string_view OwnerLine =
    "# Written by \"brindlex --install\"; \"brindlex --remove-integration\" removes it.";
inline constexpr std::string_view PackageLine =
    "# Installed with the brindlex package for every user; removing the package removes it.";

// Where the actions go below a data folder, the user's or the system's.
inline constexpr std::string_view ServiceMenuFile = "kio/servicemenus/brindlex-convert-to.desktop";
inline constexpr std::string_view NemoActionFile = "nemo/actions/brindlex-convert-to.nemo_action";

// An XDG desktop entry for the input formats' MIME types, not shown in menus: "Open With".
std::string OpenWithEntryText(const std::string& executable);
// A Dolphin service menu with the action "Convert To"; note is its comment line.
std::string ServiceMenuText(const std::string& executable, std::string_view note);
// A Nemo action "Convert To". Nemo stops expanding its codes at the first '%' that is not one,
// and has no way to write a literal '%': "" when executable holds a '%'.
std::string NemoActionText(const std::string& executable, std::string_view note);
// A "Convert To" action in the file-manager-actions format, which Caja and PCManFM-Qt read.
std::string FileManagerActionText(const std::string& executable, std::string_view note);
// A shell script for Nautilus and Caja, which show a script's file name as the menu text and pass
// the chosen files as its arguments (relative to the folder they run it in); it keeps the files of
// the input formats among them.
std::string ConvertToScriptText(const std::string& executable);
// The command of the Thunar custom action: Thunar replaces %F with the chosen files, each quoted
// for the shell, and runs the result with /bin/sh.
std::string ThunarCommand(const std::string& executable);

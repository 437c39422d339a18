#include "app/IntegrationTexts.h"

#include <cctype>
#include <vector>

#include "app/CommandQuoting.h"
#include "catalog/InputNames.h"
#include "system/FileTypes.h"

namespace {
std::string Line(std::string_view text) {
    return std::string(text) + "\n";
}

// Each name with prefix before it and suffix after it.
std::string Joined(const std::vector<std::string>& names, std::string_view prefix,
                   std::string_view suffix) {
    std::string text;
    for (const std::string& name : names) {
        text += std::string(prefix) + name + std::string(suffix);
    }
    return text;
}

// "*.[Mm][Pp]3 | *.[Ww][Aa][Vv] | ...": the input extensions in any letter case, for sh's case.
std::string ScriptPatterns() {
    std::string text;
    for (const std::string& name : ListedExtensionNames()) {
        text += text.empty() ? "*." : " | *.";
        for (const char c : name) {
            const bool letter = std::isalpha(static_cast<unsigned char>(c));
            text += letter ? std::string{'[', static_cast<char>(std::toupper(c)), c, ']'}
                           : std::string(1, c);
        }
    }
    return text;
}

std::string DesktopExec(const std::string& executable) {
    return KeyFileEscaped(DesktopExecQuoted(executable) + " --hand-over %F");
}

// A folder handed over is marked with all its sub-folders, so every action offers folders too.
// (Not "Open With": a folder type there would offer the program as a folder's opener.)
std::string ActionMimeTypeList() {
    return ListedMimeTypeList() + "inode/directory;";
}
} // namespace

std::string OpenWithEntryText(const std::string& executable) {
    return Line("[Desktop Entry]") + Line(OwnerLine) + Line("Type=Application") +
           Line("Name=Brindlex Music Converter") + Line("GenericName=Audio Converter") +
           Line("Comment=Mark audio files for conversion between " + InputFormatNames("and")) +
           Line("Icon=brindlex") + Line("TryExec=" + KeyFileEscaped(executable)) +
           Line("Exec=" + DesktopExec(executable)) + Line("Terminal=false") +
           Line("NoDisplay=true") + Line("MimeType=" + ListedMimeTypeList()) +
           Line("Categories=AudioVideo;Audio;");
}

std::string ServiceMenuText(const std::string& executable, std::string_view note) {
    // Dolphin reads only MimeType, Actions and the action groups; the rest makes the file a
    // valid desktop entry.
    return Line("[Desktop Entry]") + Line(note) + Line("Type=Application") +
           Line("Name=Convert To") + Line("NoDisplay=true") +
           Line("Exec=" + DesktopExec(executable)) + Line("MimeType=" + ActionMimeTypeList()) +
           Line("Actions=ConvertTo;") + Line("X-KDE-Priority=TopLevel") + Line("") +
           Line("[Desktop Action ConvertTo]") + Line("Name=Convert To") + Line("Icon=brindlex") +
           Line("Exec=" + DesktopExec(executable));
}

std::string NemoActionText(const std::string& executable, std::string_view note) {
    if (executable.find('%') != std::string::npos) {
        return {};
    }
    return Line("[Nemo Action]") + Line(note) + Line("Name=Convert To") +
           Line("Comment=Mark the chosen files and folders for conversion in Brindlex Music "
                "Converter") +
           Line("Exec=" + KeyFileEscaped(ShellQuoted(executable) + " --hand-over %F")) +
           Line("Icon-Name=brindlex") + Line("Selection=notnone") +
           Line("Extensions=" + Joined(ListedExtensionNames(), "", ";") + "dir;") +
           Line("Quote=double");
}

std::string FileManagerActionText(const std::string& executable, std::string_view note) {
    return Line("[Desktop Entry]") + Line(note) + Line("Type=Action") + Line("Name=Convert To") +
           Line("Tooltip=Mark the chosen files and folders for conversion in Brindlex Music "
                "Converter") +
           Line("Icon=brindlex") + Line("Profiles=audio-files-and-folders;") + Line("") +
           Line("[X-Action-Profile audio-files-and-folders]") + Line("Name=Convert To") +
           Line("MimeTypes=" + ActionMimeTypeList()) + Line("Exec=" + DesktopExec(executable));
}

std::string ConvertToScriptText(const std::string& executable) {
    return Line("#!/bin/sh") + Line(OwnerLine) +
           Line("# Marks the chosen " + InputFormatNames("and") +
                " files in Brindlex Music Converter.") +
           Line("for file do") + Line("    case $file in") +
           Line("    " + ScriptPatterns() + ") set -- \"$@\" \"$file\" ;;") + Line("    esac") +
           Line("    shift") + Line("done") + Line("[ $# -gt 0 ] || exit 0") +
           Line("exec " + ShellQuoted(executable) + " --hand-over \"$@\"");
}

std::string ThunarCommand(const std::string& executable) {
    return PercentDoubled(ShellQuoted(executable)) + " --hand-over %F";
}

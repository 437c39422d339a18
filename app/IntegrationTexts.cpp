#include "app/IntegrationTexts.h"

#include "app/CommandQuoting.h"

namespace {
std::string Line(std::string_view text) {
    return std::string(text) + "\n";
}

std::string DesktopExec(const std::string& executable) {
    return KeyFileEscaped(DesktopExecQuoted(executable) + " --hand-over %F");
}
} // namespace

std::string OpenWithEntryText(const std::string& executable) {
    return Line("[Desktop Entry]") + Line(OwnerLine) + Line("Type=Application") +
           Line("Name=Brindlex Music Converter") + Line("GenericName=Audio Converter") +
           Line("Comment=Mark audio files for conversion between WAVE, MP3 and WMA") +
           Line("Icon=brindlex") + Line("TryExec=" + KeyFileEscaped(executable)) +
           Line("Exec=" + DesktopExec(executable)) + Line("Terminal=false") +
           Line("NoDisplay=true") + Line("MimeType=" + std::string(AudioMimeTypes)) +
           Line("Categories=AudioVideo;Audio;");
}

std::string ServiceMenuText(const std::string& executable) {
    // Dolphin reads only MimeType, Actions and the action groups; the rest makes the file a
    // valid desktop entry.
    return Line("[Desktop Entry]") + Line(OwnerLine) + Line("Type=Application") +
           Line("Name=Convert To") + Line("NoDisplay=true") +
           Line("Exec=" + DesktopExec(executable)) +
           Line("MimeType=" + std::string(AudioMimeTypes)) + Line("Actions=ConvertTo;") +
           Line("X-KDE-Priority=TopLevel") + Line("") + Line("[Desktop Action ConvertTo]") +
           Line("Name=Convert To") + Line("Icon=brindlex") +
           Line("Exec=" + DesktopExec(executable));
}

std::string NemoActionText(const std::string& executable) {
    if (executable.find('%') != std::string::npos) {
        return {};
    }
    return Line("[Nemo Action]") + Line(OwnerLine) + Line("Name=Convert To") +
           Line("Comment=Mark the chosen files for conversion in Brindlex Music Converter") +
           Line("Exec=" + KeyFileEscaped(ShellQuoted(executable) + " --hand-over %F")) +
           Line("Icon-Name=brindlex") + Line("Selection=notnone") +
           Line("Extensions=mp3;wav;wma;") + Line("Quote=double");
}

std::string ConvertToScriptText(const std::string& executable) {
    return Line("#!/bin/sh") + Line(OwnerLine) +
           Line("# Marks the chosen WAVE, MP3 and WMA files in Brindlex Music Converter.") +
           Line("for file do") + Line("    case $file in") +
           Line("    *.[Mm][Pp]3 | *.[Ww][Aa][Vv] | *.[Ww][Mm][Aa]) set -- \"$@\" \"$file\" ;;") +
           Line("    esac") + Line("    shift") + Line("done") + Line("[ $# -gt 0 ] || exit 0") +
           Line("exec " + ShellQuoted(executable) + " --hand-over \"$@\"");
}

std::string ThunarCommand(const std::string& executable) {
    return PercentDoubled(ShellQuoted(executable)) + " --hand-over %F";
}

#pragma once
// "Convert To" in the file managers of the Linux desktops, and "Open With", for this user only:
//   $XDG_DATA_HOME/applications/brindlex-convert-to.desktop      an XDG desktop entry
//   $XDG_DATA_HOME/kio/servicemenus/brindlex-convert-to.desktop  Dolphin (executable, as KDE asks)
//   $XDG_DATA_HOME/nemo/actions/brindlex-convert-to.nemo_action  Nemo
//   $XDG_DATA_HOME/nautilus/scripts/Convert To                   Nautilus (GNOME Files)
//   $XDG_CONFIG_HOME/caja/scripts/Convert To                     Caja
//   $XDG_CONFIG_HOME/Thunar/uca.xml                              Thunar, one action among others
// Installing again changes nothing that is already right. A file of that name that we did not
// write (a symbolic link to nothing, a FIFO included) is never replaced or removed; neither is
// any other Thunar action, nor any other byte of uca.xml. Removing gives uca.xml back as it was
// before the install when nothing else changed it meanwhile: a file that the install created (or
// copied from the system's) is removed again while it holds nothing else.
#include <string>
#include <vector>

#include "app/FileText.h"
#include "app/XdgFolders.h"

struct IntegrationStep {
    enum Outcome {
        Written,   // created or brought up to date
        Unchanged, // already as it should be
        Removed,
        NotThere, // nothing of ours to remove
        Foreign,  // a file of someone else's has this name: left alone
        Failed,
    };
    std::string path;
    Outcome outcome = Failed;
    std::string problem; // Failed and Foreign: why
};

class DesktopIntegration {
public:
    // executable: the full path of the program the file managers are to run.
    DesktopIntegration(std::string executable, XdgFolders folders);

    // One step per file, in the order above.
    std::vector<IntegrationStep> Install() const;
    std::vector<IntegrationStep> Remove() const;

private:
    struct PlainFile {
        std::string path;
        std::string text; // "" when the program's path cannot be written in this format
        mode_t mode;
    };

    std::vector<PlainFile> PlainFiles() const;
    std::string ThunarFile() const;
    FileText SystemThunarFile() const;
    IntegrationStep InstallPlain(const PlainFile& file) const;
    IntegrationStep RemovePlain(const PlainFile& file) const;
    IntegrationStep InstallThunar() const;
    IntegrationStep RemoveThunar() const;

    std::string executable_;
    XdgFolders folders_;
};

// "written   PATH", "unchanged PATH", ..., one line each.
std::string DescribeStep(const IntegrationStep& step);

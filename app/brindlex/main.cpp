// brindlex, the window. The file selector is the main window; files named on the command line are
// marked in it as files handed over by other launches are. The modes without a window (--install,
// --help and the like) work as they will.
#include <QApplication>
#include <filesystem>
#include <iostream>

#include "app/CommandLineModes.h"
#include "app/StartRequest.h"
#include "forms/AppForms.h"
#include "forms/ApplicationTitle.h"
#include "forms/TfrmFileSelector.h"

int main(int argc, char** argv) {
    const StartRequest request = ReadStartRequest(argc, argv);
    if (request.mode != StartMode::Normal && request.mode != StartMode::HandOver) {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return RunCommandLineMode(request, executable.string(), std::cout, std::cerr);
    }

    QApplication app(argc, argv);
    // The program ends when the file selector closes, not when a form hides.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplicationTitle::Set(QStringLiteral("Brindlex Music Converter"));

    AppForms forms;
    TfrmFileSelector& selector = forms.Selector();
    selector.showMaximized();
    for (const std::string& path : request.paths) {
        selector.SelectPassedFile(path);
    }
    return QApplication::exec();
}

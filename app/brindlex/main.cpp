// brindlex, the window. Until the file selector and the single running window exist, the files
// handed to the program on its command line become the conversion list and the options form is
// the first window; going back from it ends the program. The modes without a window (--install,
// --help and the like) work as they will.
#include <QApplication>
#include <filesystem>
#include <iostream>

#include "app/CommandLineModes.h"
#include "app/StartRequest.h"
#include "forms/AppForms.h"
#include "forms/ApplicationTitle.h"
#include "forms/TForm1.h"
#include "forms/TForm2.h"
#include "selector/ConvertListBuilder.h"

int main(int argc, char** argv) {
    const StartRequest request = ReadStartRequest(argc, argv);
    if (request.mode != StartMode::Normal && request.mode != StartMode::HandOver) {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return RunCommandLineMode(request, executable.string(), std::cout, std::cerr);
    }

    QApplication app(argc, argv);
    // The program ends when its work is done, not when a form hides.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplicationTitle::Set(QStringLiteral("Brindlex Music Converter"));

    AppForms forms;
    TForm1& options = forms.Options();
    TForm2& fileList = forms.FileList();
    // As the file selector will: the files are marked one by one, then listed.
    SelectionLists marks;
    for (const std::string& path : request.paths) {
        marks.filesToBack.Append(path);
    }
    for (const ConvertRow& row : ConvertListBuilder(marks).Build()) {
        options.AddConvertRow(row);
        fileList.AddFile(row);
    }
    fileList.SetCountText(QString::number(fileList.Count()) + QStringLiteral(" Files"));
    options.OnBackToSelector = [] { QCoreApplication::quit(); };
    options.show();
    return QApplication::exec();
}

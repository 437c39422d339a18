// brindlex: the window. Until the file selector exists, the files named on the command line are
// the conversion list and the options form is the first window; going back ends the program.
#include <QApplication>
#include <QFileInfo>

#include "forms/AppForms.h"
#include "forms/ApplicationTitle.h"
#include "forms/TForm1.h"
#include "forms/TForm2.h"
#include "system/FileRoutines.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program ends when its work is done, not when a form hides.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplicationTitle::Set(QStringLiteral("Brindlex Music Converter"));

    AppForms forms;
    TForm1& options = forms.Options();
    TForm2& fileList = forms.FileList();
    for (const QString& argument : QApplication::arguments().mid(1)) {
        const std::string path = QFileInfo(argument).absoluteFilePath().toStdString();
        options.AddConvertRow(path);
        fileList.AddFile(path, GetFileSizeOfName(path));
    }
    fileList.SetCountText(QString::number(fileList.Count()) + QStringLiteral(" Files"));
    options.OnBackToSelector = [] { QCoreApplication::quit(); };
    options.show();
    return QApplication::exec();
}

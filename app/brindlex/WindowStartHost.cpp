#include "WindowStartHost.h"

#include <QTimer>
#include <QUrl>
#include <chrono>
#include <iostream>

#include "QuitOnSignals.h"
#include "StartReport.h"
#include "forms/AppForms.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"
#include "forms/ContrastStyle.h"
#include "forms/FileSelectorWindow.h"
#include "forms/JobDriver.h"
#include "forms/OptionsForm.h"
#include "forms/PageOpener.h"
#include "system/FileNames.h"
#include "system/OpenerProcess.h"

namespace {
// Without a window nothing tells when a browser in the foreground will let its opener go: after
// this long its page counts as shown.
constexpr std::chrono::seconds TerminalOpenerWait{3};

// The marks of a handed-over path's folder and of the folders above it, from the folder up.
std::string MarksAbove(const FileSelectorModel& model, const std::string& path) {
    std::string marks;
    for (const FolderNode* node = model.FindFolder(GetFolderPart(path)); node;
         node = node->parent) {
        if (!marks.empty()) {
            marks += ' ';
        }
        marks += std::to_string(node->state);
    }
    return marks;
}

// For the process tests and the bench (see StartReport).
void ReportProgress(const std::optional<StartReport>& report, FileSelectorWindow& selector) {
    if (!report) {
        return;
    }
    QTimer::singleShot(0, &selector, [report] { report->Line("shown"); });
    selector.OnPassedFile = [report, &selector](const HandOverMessage& message) {
        if (message.path.empty()) {
            report->Line("front " + message.tokens.activationToken + " " +
                         message.tokens.startupId);
            return;
        }
        // As many files as Next would collect now.
        const std::size_t rows = selector.Model().BuildConvertList().size();
        report->Line("passed " + std::to_string(rows) + " " + message.path);
        report->Line("above " + MarksAbove(selector.Model(), message.path));
    };
}

std::string FileAddress(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}
} // namespace

WindowStartHost::WindowStartHost(int& argc, char** argv, StartMode mode)
    : argc_(argc), argv_(argv), window_(mode == StartMode::Normal) {}

WindowStartHost::~WindowStartHost() = default;

void WindowStartHost::OpenHelpPage(const std::string& path, std::function<void()> accepted) {
    if (window_) {
        helpPage_ = path;
        helpAccepted_ = std::move(accepted);
        return;
    }
    OpenerProcess opener(FileAddress(path));
    if (opener.Wait(TerminalOpenerWait) == OpenerProcess::State::Refused) {
        std::cerr << "brindlex: the help page could not be opened (" << opener.Problem()
                  << "); it is the file " << path << '\n';
        return;
    }
    accepted();
}

int WindowStartHost::RunWindow() {
    app_ = std::make_unique<QApplication>(argc_, argv_);
    ContrastStyle::Install();
    // The program ends when the file selector closes, not when a form hides.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplicationTitle::Set(QStringLiteral("Brindlex Music Converter"));
    AppForms forms;
    FileSelectorWindow& selector = forms.Selector();
    const QuitOnSignals quit([&forms, &selector] {
        forms.Options().Job().EndForQuit();
        selector.close();
    });
    const std::optional<StartReport> report = StartReport::FromEnvironment();
    ReportProgress(report, selector);
    selector.showMaximized();
    if (!helpPage_.empty()) {
        const QUrl page = QUrl::fromLocalFile(QString::fromStdString(helpPage_));
        QTimer::singleShot(0, &selector, [&selector, page, report, accepted = helpAccepted_] {
            PageOpener* opener = PageOpener::Open(&selector, page, accepted);
            if (report) {
                QObject::connect(opener, &PageOpener::finished, [report](bool taken) {
                    report->Line(taken ? "help taken" : "help refused");
                });
            }
        });
    }
    return QApplication::exec();
}

void WindowStartHost::ShowStartFailure(const std::string& text) {
    if (app_) {
        AppMessage(nullptr, QMessageBox::Critical, QString::fromStdString(text));
    }
}

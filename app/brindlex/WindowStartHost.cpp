#include "WindowStartHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <cstdlib>

#include "QuitOnSignals.h"
#include "StartReport.h"
#include "forms/AppForms.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"
#include "forms/TForm1.h"
#include "forms/TfrmFileSelector.h"

namespace {
// A display to connect to, or a platform chosen explicitly.
bool PlatformGiven() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            return true;
        }
    }
    return false;
}

// The platforms without a desktop behind them cannot open documents; xdg-open still can.
bool PlatformOpensDocuments() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// For the process tests and the bench (see StartReport).
void ReportProgress(TfrmFileSelector& selector) {
    const std::optional<StartReport> report = StartReport::FromEnvironment();
    if (!report) {
        return;
    }
    QTimer::singleShot(0, &selector, [report] { report->Line("shown"); });
    selector.OnPassedFile = [report, &selector](const std::string& path) {
        // As many files as Next would collect now.
        const std::size_t rows = selector.Model().BuildConvertList().size();
        report->Line("passed " + std::to_string(rows) + " " + path);
    };
}
} // namespace

WindowStartHost::WindowStartHost(int& argc, char** argv, StartMode mode)
    : argc_(argc), argv_(argv), window_(mode == StartMode::Normal) {}

WindowStartHost::~WindowStartHost() = default;

void WindowStartHost::MakeApplication() {
    if (app_) {
        return;
    }
    if (window_) {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        return;
    }
    // Installing from a terminal without a desktop must not fail for the want of one.
    const bool offscreen = !PlatformGiven();
    if (offscreen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    if (offscreen) {
        qunsetenv("QT_QPA_PLATFORM"); // not for the programs we start
    }
}

void WindowStartHost::OpenDocument(const std::string& path) {
    MakeApplication();
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (!PlatformOpensDocuments() || !QDesktopServices::openUrl(url)) {
        QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
    }
}

int WindowStartHost::RunWindow() {
    MakeApplication();
    // The program ends when the file selector closes, not when a form hides.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplicationTitle::Set(QStringLiteral("Brindlex Music Converter"));
    AppForms forms;
    TfrmFileSelector& selector = forms.Selector();
    const QuitOnSignals quit([&forms, &selector] {
        forms.Options().EndForQuit();
        selector.close();
    });
    ReportProgress(selector);
    selector.showMaximized();
    return QApplication::exec();
}

void WindowStartHost::ShowStartFailure(const std::string& text) {
    if (qobject_cast<QApplication*>(app_.get())) {
        AppMessage(nullptr, QMessageBox::Critical, QString::fromStdString(text));
    }
}

// The window tests. With a suite's name as the first argument only that suite runs (CTest runs
// each on its own); the remaining arguments go to Qt Test.
#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FormTests.h"
#include "forms/ContrastStyle.h"

int main(int argc, char** argv) {
    // The objects that launches of the program share live in a runtime folder of this process's
    // own, so that no running program takes (or hands in) the files these tests pass.
    std::string runtime =
        (std::filesystem::temp_directory_path() / "bmc-form-runtime-XXXXXX").string();
    if (mkdtemp(runtime.data()) == nullptr) {
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    QApplication app(argc, argv);
    ContrastStyle::Install(); // as the program does, so that the pictures show what users see
    std::vector<std::unique_ptr<QObject>> suites;
    suites.push_back(std::make_unique<OptionsFormTest>());
    suites.push_back(std::make_unique<ConversionJobTest>());
    suites.push_back(std::make_unique<OverwriteTest>());
    suites.push_back(std::make_unique<PlanBeforeJobTest>());
    suites.push_back(std::make_unique<MirrorFormTest>());
    suites.push_back(std::make_unique<SmallFormsTest>());
    suites.push_back(std::make_unique<SelectorFormTest>());
    suites.push_back(std::make_unique<ScreenshotTest>());
    suites.push_back(std::make_unique<NoticeTest>());

    QStringList arguments = QApplication::arguments();
    QString only;
    if (arguments.size() > 1 && !arguments[1].startsWith('-')) {
        only = arguments.takeAt(1);
    }
    int failures = 0;
    for (const auto& suite : suites) {
        if (only.isEmpty() || only == suite->metaObject()->className()) {
            failures += QTest::qExec(suite.get(), arguments);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    return failures == 0 ? 0 : 1;
}

// The window tests. With a suite's name as the first argument only that suite runs (CTest runs
// each on its own); the remaining arguments go to Qt Test.
#include <QApplication>
#include <QTest>
#include <memory>
#include <vector>

#include "FormTests.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QObject>> suites;
    suites.push_back(std::make_unique<OptionsFormTest>());
    suites.push_back(std::make_unique<ConversionJobTest>());
    suites.push_back(std::make_unique<OverwriteTest>());
    suites.push_back(std::make_unique<SmallFormsTest>());
    suites.push_back(std::make_unique<ScreenshotTest>());

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
    return failures == 0 ? 0 : 1;
}

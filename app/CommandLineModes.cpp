#include "app/CommandLineModes.h"

#include <vector>

#include "app/DesktopIntegration.h"
#include "app/ShellVerb.h"

namespace {
constexpr int ExitDone = 0;
constexpr int ExitIntegrationFailed = 1;
constexpr int ExitUsage = 2;

int Report(const std::vector<IntegrationStep>& steps, std::ostream& out, std::ostream& err) {
    int status = ExitDone;
    for (const IntegrationStep& step : steps) {
        const bool failed = step.outcome == IntegrationStep::Failed;
        (failed ? err : out) << DescribeStep(step) << '\n';
        if (failed) {
            status = ExitIntegrationFailed;
        }
    }
    return status;
}
} // namespace

std::string StartUsage() {
    return R"(Usage: brindlex [FILE...]
       brindlex --hand-over FILE...
       brindlex --install | --uninstall | --remove-integration | --help | --version

Without arguments, starts Brindlex Music Converter; when it runs already, nothing happens.

  FILE...               mark each file in the running window, starting one if none runs
  --hand-over FILE...   the same, with every argument after it taken as a file name
  --install             add "Convert To" for the audio files it reads to this user's file
                        managers (Files, Dolphin, Nemo, Thunar, Caja) and to "Open With"
  --uninstall           accepted, as the installer calls it; removes nothing
  --remove-integration  remove what --install wrote, and nothing else
  --help, -h            show this help
  --version             show the version

In the window, F5 reads the selected folder again and Ctrl+H shows or hides the folders
whose names begin with ".".

The forms "<at>FILE", "<install>" and "<uninstall>" work too (quote them in a shell).
)";
}

int RunCommandLineMode(const StartRequest& request, const std::string& executable,
                       std::ostream& out, std::ostream& err) {
    switch (request.mode) {
    case StartMode::Install:
        RegisterShellVerb(executable);
        return Report(DesktopIntegration(executable, XdgFolders::FromEnvironment()).Install(), out,
                      err);
    case StartMode::RemoveIntegration:
        return Report(DesktopIntegration(executable, XdgFolders::FromEnvironment()).Remove(), out,
                      err);
    case StartMode::ShowUsage:
        out << StartUsage();
        return ExitDone;
    case StartMode::ShowVersion:
        out << "Brindlex Music Converter " << BMC_VERSION << '\n';
        return ExitDone;
    case StartMode::UsageError:
        err << "brindlex: " << request.problem << "\nTry 'brindlex --help'.\n";
        return ExitUsage;
    case StartMode::Uninstall:
    case StartMode::Normal:
    case StartMode::HandOver:
        break;
    }
    return ExitDone;
}

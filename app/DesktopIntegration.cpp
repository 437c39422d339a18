#include "app/DesktopIntegration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/CommandQuoting.h"
#include "app/FileText.h"
#include "app/IntegrationTexts.h"
#include "app/ThunarActions.h"

namespace {
constexpr mode_t Readable = 0644;
constexpr mode_t Executable = 0755;

IntegrationStep Step(std::string path, IntegrationStep::Outcome outcome, std::string problem = {}) {
    return {std::move(path), outcome, std::move(problem)};
}

// The permissions of the file at path, so that rewriting a shared file keeps them.
mode_t ModeOf(const std::string& path, mode_t fallback) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : fallback;
}

bool IsOurs(const std::string& text) {
    return text.find(std::string(OwnerLine) + "\n") != std::string::npos;
}
} // namespace

DesktopIntegration::DesktopIntegration(std::string executable, XdgFolders folders)
    : executable_(std::move(executable)), folders_(std::move(folders)) {}

std::vector<DesktopIntegration::PlainFile> DesktopIntegration::PlainFiles() const {
    const std::string& data = folders_.dataHome;
    const std::string& config = folders_.configHome;
    // Desktop files must be UTF-8; the scripts take any path.
    const bool utf8 = IsValidUtf8(executable_);
    const auto ifUtf8 = [utf8](std::string text) { return utf8 ? text : std::string(); };
    return {
        {data + "applications/brindlex-convert-to.desktop", ifUtf8(OpenWithEntryText(executable_)),
         Readable},
        {data + std::string(ServiceMenuFile), ifUtf8(ServiceMenuText(executable_, OwnerLine)),
         Executable},
        {data + std::string(NemoActionFile), ifUtf8(NemoActionText(executable_, OwnerLine)),
         Readable},
        {data + "nautilus/scripts/Convert To", ConvertToScriptText(executable_), Executable},
        {config + "caja/scripts/Convert To", ConvertToScriptText(executable_), Executable},
    };
}

std::string DesktopIntegration::ThunarFile() const {
    return folders_.configHome + "Thunar/uca.xml";
}

std::vector<IntegrationStep> DesktopIntegration::Install() const {
    std::vector<IntegrationStep> steps;
    for (const PlainFile& file : PlainFiles()) {
        steps.push_back(InstallPlain(file));
    }
    steps.push_back(InstallThunar());
    return steps;
}

std::vector<IntegrationStep> DesktopIntegration::Remove() const {
    std::vector<IntegrationStep> steps;
    for (const PlainFile& file : PlainFiles()) {
        steps.push_back(RemovePlain(file));
    }
    steps.push_back(RemoveThunar());
    return steps;
}

IntegrationStep DesktopIntegration::InstallPlain(const PlainFile& file) const {
    if (folders_.dataHome.empty() || folders_.configHome.empty()) {
        return Step(file.path, IntegrationStep::Failed, "no home folder");
    }
    if (file.text.empty()) {
        return Step(file.path, IntegrationStep::Failed,
                    "this file manager cannot run a program at " + executable_);
    }
    const FileText old = ReadFileText(file.path);
    if (!old.notAFile.empty()) {
        return Step(file.path, IntegrationStep::Foreign, old.notAFile);
    }
    if (!old.problem.empty()) {
        return Step(file.path, IntegrationStep::Failed, old.problem);
    }
    if (old.exists && !IsOurs(old.text)) {
        return Step(file.path, IntegrationStep::Foreign, "not written by brindlex");
    }
    std::string problem;
    switch (ReplaceFileText(file.path, file.text, file.mode, problem)) {
    case WriteResult::Written:
        return Step(file.path, IntegrationStep::Written);
    case WriteResult::Unchanged:
        return Step(file.path, IntegrationStep::Unchanged);
    case WriteResult::Failed:
        break;
    }
    return Step(file.path, IntegrationStep::Failed, problem);
}

IntegrationStep DesktopIntegration::RemovePlain(const PlainFile& file) const {
    const FileText old = ReadFileText(file.path);
    if (!old.exists) {
        return Step(file.path, IntegrationStep::NotThere);
    }
    if (!old.notAFile.empty()) {
        return Step(file.path, IntegrationStep::Foreign, old.notAFile);
    }
    if (!old.problem.empty()) {
        return Step(file.path, IntegrationStep::Failed, old.problem);
    }
    if (!IsOurs(old.text)) {
        return Step(file.path, IntegrationStep::Foreign, "not written by brindlex");
    }
    if (::unlink(file.path.c_str()) != 0) {
        return Step(file.path, IntegrationStep::Failed, std::strerror(errno));
    }
    return Step(file.path, IntegrationStep::Removed);
}

// Thunar reads the first uca.xml it finds, the user's before the system's; one that is not a
// file it cannot read either.
FileText DesktopIntegration::SystemThunarFile() const {
    for (const std::string& folder : folders_.configDirs) {
        FileText file = ReadFileText(folder + "Thunar/uca.xml");
        if (file.exists && file.notAFile.empty()) {
            return file;
        }
    }
    return {};
}

IntegrationStep DesktopIntegration::InstallThunar() const {
    const std::string path = ThunarFile();
    if (folders_.configHome.empty()) {
        return Step(path, IntegrationStep::Failed, "no home folder");
    }
    if (!IsValidUtf8(executable_)) {
        return Step(path, IntegrationStep::Failed,
                    "this file manager cannot run a program at " + executable_);
    }
    FileText old = ReadFileText(path);
    ThunarOrigin origin = old.text.empty() ? ThunarOrigin::Empty : ThunarOrigin::Own;
    // A user who has none sees the system's actions, which must stay when ours joins them.
    if (!old.exists) {
        old = SystemThunarFile();
        origin = old.exists ? ThunarOrigin::Copy : ThunarOrigin::Missing;
    }
    if (!old.notAFile.empty()) {
        return Step(path, IntegrationStep::Failed, old.notAFile + "; left as it is");
    }
    if (!old.problem.empty()) {
        return Step(path, IntegrationStep::Failed, old.problem);
    }
    const auto text = WithThunarAction(old.text, ThunarCommand(executable_), origin);
    if (!text) {
        return Step(path, IntegrationStep::Failed,
                    "not a Thunar actions file that our action can join; left as it is");
    }
    std::string problem;
    switch (ReplaceFileText(path, *text, ModeOf(path, Readable), problem)) {
    case WriteResult::Written:
        return Step(path, IntegrationStep::Written);
    case WriteResult::Unchanged:
        return Step(path, IntegrationStep::Unchanged);
    case WriteResult::Failed:
        break;
    }
    return Step(path, IntegrationStep::Failed, problem);
}

IntegrationStep DesktopIntegration::RemoveThunar() const {
    const std::string path = ThunarFile();
    const FileText old = ReadFileText(path);
    if (!old.exists) {
        return Step(path, IntegrationStep::NotThere);
    }
    if (!old.notAFile.empty()) {
        return Step(path, IntegrationStep::Foreign, old.notAFile);
    }
    if (!old.problem.empty()) {
        return Step(path, IntegrationStep::Failed, old.problem);
    }
    const auto removal = WithoutThunarAction(old.text, SystemThunarFile().text);
    if (!removal) {
        return Step(path, IntegrationStep::Failed,
                    "not a Thunar actions file that our action can leave; left as it is");
    }
    if (removal->text == old.text && !removal->removeFile) {
        return Step(path, IntegrationStep::NotThere);
    }
    if (removal->removeFile) {
        if (::unlink(path.c_str()) != 0) {
            return Step(path, IntegrationStep::Failed, std::strerror(errno));
        }
        return Step(path, IntegrationStep::Removed);
    }
    std::string problem;
    if (ReplaceFileText(path, removal->text, ModeOf(path, Readable), problem) ==
        WriteResult::Failed) {
        return Step(path, IntegrationStep::Failed, problem);
    }
    return Step(path, IntegrationStep::Removed);
}

std::string DescribeStep(const IntegrationStep& step) {
    static constexpr const char* Words[] = {"written   ", "unchanged ", "removed   ",
                                            "absent    ", "kept      ", "FAILED    "};
    std::string line = Words[step.outcome] + step.path;
    if (!step.problem.empty()) {
        line += " (" + step.problem + ")";
    }
    return line;
}

#include "app/ShellVerb.h"

#include <string_view>

#include "system/FileTypes.h"
#include "system/SettingsStore.h"

namespace {
constexpr std::string_view OwnFileType = "BrConvert";
constexpr std::string_view VerbKey = "\\shell\\Convert To";
constexpr std::string_view CommandKey = "\\Command";
// The size of the buffer the file type is read into, terminating zero included.
constexpr std::size_t FileTypeBuffer = 260;
} // namespace

std::string ShellVerbCommand(const std::string& executable) {
    return "\"" + executable + "\" <at>%1";
}

void RegisterShellVerb(const std::string& executable) {
    const std::string command = ShellVerbCommand(executable);
    for (const std::string& name : ListedExtensionNames()) {
        const std::string extension = "." + name;
        std::string fileType = StoreReadText(StoreRoot::FileTypes, extension, "", FileTypeBuffer);
        if (fileType.empty()) {
            fileType = OwnFileType;
            StoreWriteText(fileType, StoreRoot::FileTypes, extension, "");
        }
        StoreWriteText(command, StoreRoot::FileTypes,
                       fileType + std::string(VerbKey) + std::string(CommandKey), "");
    }
}

#include "formats/wma/WmaAvailability.h"

#include <strings.h>
#include <sys/stat.h>

#include "formats/wma/WmaFormat.h"
#include "formats/wma/WmaModule.h"
#include "system/FileNames.h"

namespace {
constexpr const char* ToWma = "Unable to convert to a Microsoft Audio 4 file as the correct "
                              "components are not installed.";
constexpr const char* FromWma = "Unable to convert from a Microsoft Audio 4 file as the correct "
                                "components are not installed.";
constexpr const char* Install = " To install the correct components, download and install the "
                                "'Windows Media Audio 4 Codec' from the Brindlex Download page.";

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ListsWmaInput(const std::vector<std::string>& inputPaths) {
    for (const std::string& path : inputPaths) {
        if (strcasecmp(GetFileExtension(path).c_str(), ".WMA") == 0)
            return true;
    }
    return false;
}
} // namespace

bool WmaModuleInstalled(const std::vector<std::string>& codecFolders) {
    // The folders the module loader searches, so the answer matches what a conversion finds.
    for (const std::string& folder : codecFolders) {
        if (IsRegularFile(folder + WmaModuleFile))
            return true;
    }
    return false;
}

std::string WmaJobRefusal(uint8_t targetFormat, const std::vector<std::string>& inputPaths,
                          const std::vector<std::string>& codecFolders) {
    const char* first = targetFormat == WmaFormat.Number       ? ToWma
                        : ListsWmaInput(inputPaths) ? FromWma
                                                    : nullptr;
    if (first == nullptr || WmaModuleInstalled(codecFolders))
        return {};
    return std::string(first) + Install;
}

#include "app/SystemActionFiles.h"

#include "app/IntegrationTexts.h"

std::vector<SystemActionFile> SystemActionFiles(const std::string& executable) {
    return {
        {std::string(ServiceMenuFile), ServiceMenuText(executable, PackageLine)},
        {std::string(NemoActionFile), NemoActionText(executable, PackageLine)},
        {"file-manager/actions/brindlex-convert-to.desktop",
         FileManagerActionText(executable, PackageLine)},
    };
}

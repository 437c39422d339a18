#include "app/SystemActionFiles.h"

#include "app/IntegrationTexts.h"

std::vector<SystemActionFile> SystemActionFiles(const std::string& executable) {
    return {
        {"kio/servicemenus/brindlex-convert-to.desktop", ServiceMenuText(executable, PackageLine)},
        {"nemo/actions/brindlex-convert-to.nemo_action", NemoActionText(executable, PackageLine)},
        {"file-manager/actions/brindlex-convert-to.desktop",
         FileManagerActionText(executable, PackageLine)},
    };
}

#include "system/CodecModules.h"

#include "system/AppPaths.h"

CodecModules::CodecModules(std::vector<std::string> folders) : folders_(std::move(folders)) {}

std::vector<std::string> CodecModules::InstalledFolders() {
    const std::string app = AppFolder();
    if (app.empty())
        return {};
    return {app + "codecs/", app + "../lib/brindlex/codecs/"};
}

CodecModule& CodecModules::Module(const std::string& fileName,
                                  std::span<const char* const> entryPoints) {
    std::vector<std::string> key{fileName};
    key.insert(key.end(), entryPoints.begin(), entryPoints.end());
    const std::lock_guard lock(mutex_);
    std::unique_ptr<CodecModule>& module = modules_[key];
    if (!module)
        module = std::make_unique<CodecModule>(
            fileName, std::vector<std::string>(key.begin() + 1, key.end()), folders_);
    return *module;
}

#include "system/CodecModule.h"

#include <dlfcn.h>

#include "system/AppPaths.h"

namespace {

std::mutex folderMutex;
std::string folderOverride;

} // namespace

CodecModule::CodecModule(std::string fileName, std::vector<std::string> entryPoints)
    : fileName_(std::move(fileName)), entryPoints_(std::move(entryPoints)) {}

void CodecModule::SetFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::lock_guard lock(folderMutex);
    folderOverride = std::move(folder);
}

std::vector<std::string> CodecModule::Folders() {
    {
        const std::lock_guard lock(folderMutex);
        if (!folderOverride.empty())
            return {folderOverride};
    }
    const std::string app = AppFolder();
    if (app.empty())
        return {};
    return {app + "codecs/", app + "../lib/brindlex/codecs/"};
}

bool CodecModule::Load() {
    const std::lock_guard lock(mutex_);
    if (state_ == State::NotLoaded) {
        for (const std::string& folder : Folders()) {
            handle_ = dlopen((folder + fileName_).c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle_)
                break;
        }
        if (handle_)
            state_ = Resolve() ? State::Usable : State::Incomplete;
    }
    return state_ == State::Usable;
}

bool CodecModule::Resolve() {
    for (const std::string& name : entryPoints_)
        if (!dlsym(handle_, name.c_str()))
            return false;
    return true;
}

bool CodecModule::Loaded() {
    const std::lock_guard lock(mutex_);
    return state_ != State::NotLoaded;
}

void* CodecModule::Get(const char* name) {
    const std::lock_guard lock(mutex_);
    return state_ == State::Usable ? dlsym(handle_, name) : nullptr;
}

#include "system/CodecModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace {

std::mutex folderMutex;
std::string folderOverride;

// The running executable's folder with a trailing '/'.
std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "./";
    std::string folder(path, static_cast<size_t>(length));
    return folder.substr(0, folder.rfind('/') + 1);
}

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
    const std::string app = ExecutableFolder();
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

void* CodecModule::Get(const char* name) {
    const std::lock_guard lock(mutex_);
    return state_ == State::Usable ? dlsym(handle_, name) : nullptr;
}

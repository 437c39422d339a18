#include "system/CodecModule.h"

#include <dlfcn.h>

CodecModule::CodecModule(std::string fileName, std::vector<std::string> entryPoints,
                         std::vector<std::string> folders)
    : fileName_(std::move(fileName)), entryPoints_(std::move(entryPoints)),
      folders_(std::move(folders)) {}

bool CodecModule::Load() {
    const std::lock_guard lock(mutex_);
    if (state_ == State::NotLoaded) {
        for (const std::string& folder : folders_) {
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

#include "system/MessageHook.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {
std::mutex hookMutex;
MessageBoxHook& CurrentHook() {
    static MessageBoxHook hook;
    return hook;
}
} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(hookMutex);
    return std::exchange(CurrentHook(), std::move(hook));
}

void ShowInfoMessage(const std::string& text, const std::string& caption) {
    MessageBoxHook hook;
    {
        // Called outside the lock so a hook may itself install another hook.
        std::lock_guard lock(hookMutex);
        hook = CurrentHook();
    }
    if (hook) {
        hook(text, caption);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

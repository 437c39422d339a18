#pragma once
// A named mutex shared by this user's processes: an exclusive lock on a file in the runtime
// folder, which the kernel releases when the holding process ends, however it ends. Not
// reentrant across threads: the held flag belongs to the object, and each object serves one
// thread.
#include <string>

#include "system/UniqueFd.h"

class NamedMutex {
public:
    // Creates or opens the mutex without taking it.
    explicit NamedMutex(const std::string& name);

    // Waits for the mutex unless this object holds it already.
    void Lock();
    // Releases it when this object holds it.
    void Unlock();
    bool IsHeld() const { return held_; }

private:
    UniqueFd fd_;
    bool held_ = false;
};

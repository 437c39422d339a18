#pragma once
// A named block of memory shared by this user's processes (a mapped file in the runtime folder),
// guarded by the named mutex "SMutex_" + name. Write and Read copy the whole block; they take
// the lock themselves unless this object holds it already.
#include <cstddef>
#include <string>

#include "system/SMutex.h"
#include "system/SNamedObject.h"

class SSharedData {
public:
    // *ok (when given) tells whether the block could be created or opened and mapped. The first
    // process to create it sees it zero-filled.
    SSharedData(const std::string& name, std::size_t size, bool* ok = nullptr);
    SSharedData(const SSharedData&) = delete;
    SSharedData& operator=(const SSharedData&) = delete;
    ~SSharedData();

    // Copy size bytes in or out; false, copying nothing, when the block is not mapped.
    bool Write(const void* source);
    bool Read(void* destination);
    void Lock() { mutex_.Lock(); }
    void Unlock() { mutex_.Unlock(); }

private:
    template <typename Copy> bool Locked(Copy copy);

    SNamedObject mapping_;
    SMutex mutex_;
    void* view_ = nullptr;
    std::size_t size_;
};

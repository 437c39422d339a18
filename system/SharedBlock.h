#pragma once
// A named block of memory shared by this user's processes (a mapped file in the runtime folder),
// guarded by the named mutex "SMutex_" + name. Write and Read copy the whole block; they take
// the lock themselves unless this object holds it already.
#include <cstddef>
#include <string>

#include "system/NamedMutex.h"
#include "system/NamedObject.h"

class SharedBlock {
public:
    // *ok (when given) tells whether the block could be created or opened and mapped. The first
    // process to create it sees it zero-filled.
    SharedBlock(const std::string& name, std::size_t size, bool* ok = nullptr);
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;
    ~SharedBlock();

    // Copy size bytes in or out; false, copying nothing, when the block is not mapped.
    bool Write(const void* source);
    bool Read(void* destination);
    void Lock() { mutex_.Lock(); }
    void Unlock() { mutex_.Unlock(); }

private:
    template <typename Copy> bool Locked(Copy copy);

    NamedObject mapping_;
    NamedMutex mutex_;
    void* view_ = nullptr;
    std::size_t size_;
};

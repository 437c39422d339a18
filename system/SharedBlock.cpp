#include "system/SharedBlock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace {
// Space is reserved, not just announced: touching a page of a sparse file on a full tmpfs would
// kill the process with SIGBUS.
bool Reserve(int fd, std::size_t size) {
    return posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0;
}
} // namespace

SharedBlock::SharedBlock(const std::string& name, std::size_t size, bool* ok)
    : mapping_("shared.SSharedData_" + name, nullptr,
               [](int fd) { [[maybe_unused]] const int cleared = ftruncate(fd, 0); }),
      mutex_("SMutex_" + name), size_(size) {
    if (mapping_.IsOpen() && size > 0 && Reserve(mapping_.Fd(), size)) {
        void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, mapping_.Fd(), 0);
        view_ = view == MAP_FAILED ? nullptr : view;
    }
    if (ok) {
        *ok = view_ != nullptr;
    }
}

SharedBlock::~SharedBlock() {
    if (view_) {
        munmap(view_, size_);
    }
}

template <typename Copy> bool SharedBlock::Locked(Copy copy) {
    if (!view_) {
        return false;
    }
    const bool take = !mutex_.IsHeld();
    if (take) {
        mutex_.Lock();
    }
    copy();
    if (take) {
        mutex_.Unlock();
    }
    return true;
}

bool SharedBlock::Write(const void* source) {
    return Locked([&] { std::memcpy(view_, source, size_); });
}

bool SharedBlock::Read(void* destination) {
    return Locked([&] { std::memcpy(destination, view_, size_); });
}

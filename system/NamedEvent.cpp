#include "system/NamedEvent.h"

#include <unistd.h>

// The signalled state is the first byte of the event's file. Every process reads and writes that
// byte through the same cached page, so a change is seen by the next read anywhere; whoever needs
// test-and-set must hold a lock of its own around it. The first holder clears the byte, since a
// state left by processes that have all ended belongs to no live event.
namespace {
std::string FileName(const std::string& name) {
    return "event." + name;
}

void Store(int fd, char state) {
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = pwrite(fd, &state, 1, 0);
    }
}
} // namespace

NamedEvent::NamedEvent(const std::string& name, bool* alreadyExisted)
    : object_(FileName(name), alreadyExisted, [](int fd) { Store(fd, 0); }) {}

void NamedEvent::Set() {
    Store(object_.Fd(), 1);
}

void NamedEvent::Reset() {
    Store(object_.Fd(), 0);
}

bool NamedEvent::IsSet() const {
    char state = 0;
    return IsOpen() && pread(object_.Fd(), &state, 1, 0) == 1 && state == 1;
}

bool NamedEvent::Exists(const std::string& name) {
    return NamedObject::IsHeld(FileName(name));
}

#pragma once
// A named object shared by this user's processes: a file in the runtime folder that every process
// using the object keeps open with a shared lock. The kernel drops that lock when a process ends,
// however it ends, so "the object exists" means exactly "some live process holds it"; a crashed
// process never leaves an object behind.
#include <functional>
#include <string>

#include "system/UniqueFd.h"

class NamedObject {
public:
    // Runs with the object's file while no other process can open or test the object.
    using FirstHolder = std::function<void(int fd)>;

    // Creates or opens the object whose file in the runtime folder is fileName. *alreadyExisted
    // (when given) tells whether another holder was alive; onFirst runs when none was.
    NamedObject(const std::string& fileName, bool* alreadyExisted, const FirstHolder& onFirst = {});

    bool IsOpen() const { return fd_.Valid(); }
    int Fd() const { return fd_.Get(); }

    // The file of a named object in the runtime folder; "" when there is no usable folder or the
    // name could lead out of it.
    static std::string Path(const std::string& fileName);

    // Whether some holder of the object is alive (this process's own holders count).
    static bool IsHeld(const std::string& fileName);

private:
    UniqueFd fd_;
};

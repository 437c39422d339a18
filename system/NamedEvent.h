#pragma once
// A named manual-reset event shared by this user's processes, created not signalled. It exists
// while some live process holds it (see NamedObject), so its existence can signal "a process of
// this kind runs".
#include <string>

#include "system/NamedObject.h"

class NamedEvent {
public:
    // Creates or opens the event; *alreadyExisted (when given) tells whether it existed.
    explicit NamedEvent(const std::string& name, bool* alreadyExisted = nullptr);

    bool IsOpen() const { return object_.IsOpen(); }
    void Set();
    void Reset();
    bool IsSet() const;

    // Whether the event exists, without creating it.
    static bool Exists(const std::string& name);

private:
    NamedObject object_;
};

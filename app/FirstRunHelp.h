#pragma once
// The help pages a user is owed once: the help on the first start, the page of what a new
// version brings on the first start after an update that brought it. Which pages were shown is
// kept in the settings store as values whose presence alone counts. They are written only once
// the page was handed to a program that took it: a page that could not be shown (no program for
// web pages) is offered again at the next start.
#include <functional>
#include <string>

#include "system/AppPaths.h"

class FirstRunHelp {
public:
    explicit FirstRunHelp(const std::string& appFolder = AppFolder());

    // The full path of the page owed now; "" when none is (or there is no folder of ours).
    const std::string& Page() const { return page_; }
    // Records the page as shown: call once a program took it.
    void MarkShown() const;

private:
    std::string page_;
    bool help_ = false; // the help itself, which covers what the changes page says
};

// Hands a page to the desktop's program for it: true once a program took it.
using DocumentOpener = std::function<bool(const std::string& path)>;

// Opens the owed page, if any, and records it when open took it. Returns its full path, or ""
// when none was owed.
std::string ShowFirstRunHelp(const DocumentOpener& open,
                             const std::string& appFolder = AppFolder());

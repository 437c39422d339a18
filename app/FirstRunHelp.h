#pragma once
// The help pages a user is owed once: the help on the first start, the page of what a new
// version brings on the first start after an update that brought it. Which pages were shown is
// kept in the settings store as values whose presence alone counts; a value is written before
// its page is opened, so a page that fails to open is not offered again.
#include <functional>
#include <string>

#include "system/AppPaths.h"

// Opens a document with the desktop's program for it (the window passes QDesktopServices).
using DocumentOpener = std::function<void(const std::string& path)>;

// Opens at most one page; returns its full path, or "" when none was owed.
std::string ShowFirstRunHelp(const DocumentOpener& open,
                             const std::string& appFolder = AppFolder());

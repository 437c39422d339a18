#pragma once
// The modes that end without a window: Install, Uninstall, RemoveIntegration, ShowUsage,
// ShowVersion and UsageError. (Normal and HandOver belong to the window and the hand-over.)
#include <ostream>
#include <string>

#include "app/StartRequest.h"

// executable: the running program's full path, which the file managers are to start. Returns
// the exit status: 0, 1 when a file of the desktop integration could not be written or removed,
// 2 for a usage error.
int RunCommandLineMode(const StartRequest& request, const std::string& executable,
                       std::ostream& out, std::ostream& err);

std::string StartUsage();

#include "StartReport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "system/UniqueFd.h"

std::optional<StartReport> StartReport::FromEnvironment() {
    const char* path = std::getenv("BRINDLEX_REPORT");
    if (!path || !*path) {
        return std::nullopt;
    }
    return StartReport(path);
}

void StartReport::Line(const std::string& text) const {
    const UniqueFd fd(open(path_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        return;
    }
    const std::string line = std::to_string(getpid()) + " " + text + "\n";
    [[maybe_unused]] const ssize_t written = write(fd.Get(), line.data(), line.size());
}

#include "system/SpecialFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

bool IsSpecialFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

void TellSpecialFile(const std::string& path, std::string_view instead) {
    static std::mutex mutex;
    static std::set<std::string> told;
    const std::lock_guard lock(mutex);
    if (told.insert(path).second) {
        std::fprintf(stderr, "%s: %s is not a regular file; %.*s\n", program_invocation_short_name,
                     path.c_str(), static_cast<int>(instead.size()), instead.data());
    }
}

#include "mirror/FileState.h"

#include <sys/stat.h>

#include <cerrno>

FileState FileState::Of(const std::string& path) {
    FileState state;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        // ENOENT and ENOTDIR say nothing is there; anything else (ELOOP, EACCES, EIO) does not.
        state.error = errno == ENOENT || errno == ENOTDIR ? 0 : errno;
        state.exists = state.error != 0;
        return state;
    }
    state.exists = true;
    state.regular = S_ISREG(st.st_mode);
    state.size = st.st_size;
    state.mtimeNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    return state;
}

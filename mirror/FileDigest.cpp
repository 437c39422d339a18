#include "mirror/FileDigest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "mirror/Sha256.h"
#include "system/FileRoutines.h"

namespace {
constexpr std::size_t ChunkBytes = 1 << 20;
}

std::optional<Digest> FileDigest(const std::string& path) {
    const UniqueFd fd = OpenRegularFile(path);
    if (!fd.Valid()) {
        return std::nullopt;
    }
    posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // One buffer a thread, kept: a fresh one for each of thousands of small outputs cost more in
    // clearing and mapping its pages than reading the files.
    thread_local std::vector<uint8_t> chunk(ChunkBytes);
    Sha256 sha;
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk.data(), chunk.size());
        if (got == 0) {
            return sha.Finish();
        }
        if (got < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (got > 0) {
            sha.Add(chunk.data(), static_cast<std::size_t>(got));
        }
    }
}

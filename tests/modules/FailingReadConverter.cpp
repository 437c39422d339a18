// brindlex-convert whose WAVE inputs cannot be read beyond their first mebibyte, as when a disk
// fails in the middle of a file.
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "cli/ConvertCommand.h"
#include "engine/JobEnvironment.h"
#include "system/AppPaths.h"
#include "system/CodecModules.h"

namespace {
constexpr off_t ReadableBytes = 1 << 20;

ssize_t FailingRead(int fd, void* into, size_t count, off_t offset) {
    if (offset + static_cast<off_t>(count) > ReadableBytes) {
        errno = EIO;
        return -1;
    }
    return pread(fd, into, count, offset);
}
} // namespace

int main(int argc, char** argv) {
    CodecModules codecs;
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc),
                             JobEnvironment{codecs, FailingRead, ExecutablePath()});
}

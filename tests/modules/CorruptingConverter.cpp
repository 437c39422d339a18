// brindlex-convert whose outputs have one byte flipped halfway through once they are written, as a
// failing disk or cable would, before anything checks them.
#include <unistd.h>

#include <string>
#include <sys/stat.h>
#include <vector>

#include "cli/ConvertCommand.h"
#include "engine/JobEnvironment.h"
#include "system/AppPaths.h"
#include "system/CodecModules.h"

namespace {
void FlipMiddleByte(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || status.st_size == 0) {
        return;
    }
    const off_t middle = status.st_size / 2;
    unsigned char byte = 0;
    if (pread(fd, &byte, 1, middle) == 1) {
        byte ^= 0xff;
        (void)!pwrite(fd, &byte, 1, middle);
    }
}
} // namespace

int main(int argc, char** argv) {
    CodecModules codecs;
    JobEnvironment environment{codecs, ::pread, ExecutablePath()};
    environment.Written = FlipMiddleByte;
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc), environment);
}

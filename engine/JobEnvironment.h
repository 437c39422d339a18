#pragma once
// What a process gives every job it runs: the codec modules and how inputs are read (pread,
// unless a test makes reads fail).
#include <sys/types.h>
#include <unistd.h>

class CodecModules;

struct JobEnvironment {
    using ReadFunction = ssize_t (*)(int fd, void* into, size_t count, off_t offset);

    CodecModules& Codecs;
    ReadFunction Read = ::pread;
};

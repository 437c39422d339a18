#pragma once
// What a process gives every job it runs: the codec modules, how inputs are read (pread, unless
// a test makes reads fail), and the program that converts files in worker processes.
#include <sys/types.h>
#include <unistd.h>

#include <string>

class CodecModules;

struct JobEnvironment {
    using ReadFunction = ssize_t (*)(int fd, void* into, size_t count, off_t offset);

    CodecModules& Codecs;
    ReadFunction Read = ::pread;
    // brindlex-convert, started with --worker; empty when no worker process may be started.
    std::string WorkerProgram;
};

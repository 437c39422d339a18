#pragma once
// What a process gives every job it runs: the codec modules, how inputs are read (pread, unless
// a test makes reads fail), the program that converts files in worker processes, and the
// observers of each row's audio.
#include <sys/types.h>
#include <unistd.h>

#include <string>

#include "engine/AudioObserver.h"

class CodecModules;

struct JobEnvironment {
    using ReadFunction = ssize_t (*)(int fd, void* into, size_t count, off_t offset);

    CodecModules& Codecs;
    ReadFunction Read = ::pread;
    // brindlex-convert, started with --worker; empty when no worker process may be started.
    std::string WorkerProgram;
    // Asked once per row; empty: no row is observed. A worker process has its own, made where
    // it starts, as every process makes its own environment ...
    AudioObserverFactory Observers = {};
    // ... or made by this name, when it is given one (RunWorkerMode's observer kinds).
    std::string ObserversName = {};
    // Given each output's descriptor once it is whole, before it is verified; only tests set it,
    // to change what was written as a failing disk would.
    using WrittenHook = void (*)(int fd);
    WrittenHook Written = nullptr;
};

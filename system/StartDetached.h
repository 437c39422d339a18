#pragma once
// Starting a program that lives on its own.
#include <sys/types.h>

#include <string>
#include <vector>

// Starts program with args (argv[0] is program) without waiting for it. It runs in a session of
// its own and is not our child (a double fork hands it to init), so it outlives us and never
// becomes a zombie of ours; it inherits no descriptor (standard input, output and error are
// /dev/null), so nobody reading our output waits for it. False, with the reason in *problem,
// when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string* problem = nullptr);

// Starts program with args as a child of ours, with the same care (no descriptor inherited,
// standard streams on /dev/null). Returns its process id, or -1 with the reason in *problem. The
// caller reaps it.
pid_t StartChild(const std::string& program, const std::vector<std::string>& args,
                 std::string* problem = nullptr);

// The full path of program as the shell would find it on PATH (a name with a "/" is taken as
// it is); "" when there is none.
std::string FindOnPath(const std::string& program);

// Starts this program again without arguments, as the main instance; a failure is told on
// standard error.
void StartMainInstance();

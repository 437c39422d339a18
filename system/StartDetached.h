#pragma once
// Starting a program that lives on its own.
#include <string>
#include <vector>

// Starts program with args (argv[0] is program) without waiting for it. It runs in a session of
// its own and is not our child (a double fork hands it to init), so it outlives us and never
// becomes a zombie of ours; it inherits no descriptor (standard input, output and error are
// /dev/null), so nobody reading our output waits for it. False, with the reason in *problem,
// when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string* problem = nullptr);

// Starts this program again without arguments, as the main instance; a failure is told on
// standard error.
void StartMainInstance();

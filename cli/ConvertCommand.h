#pragma once
// brindlex-convert from its arguments to its exit code.
#include <string>
#include <vector>

enum ExitCode : int {
    ExitConverted = 0,
    ExitSomeFailed = 1, // also: nothing to convert
    ExitUsage = 2,      // also: outputs that clash, an output folder that cannot be used
    ExitOutputsExist = 3,
    ExitNoCodecModule = 4,
    ExitInterrupted = 130
};

struct JobEnvironment;

// environment: the process's codec modules and reads.
int RunConvertCommand(const std::vector<std::string>& args, const JobEnvironment& environment);

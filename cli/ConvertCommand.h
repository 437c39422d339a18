#pragma once
// brindlex-convert from its arguments to its exit code.
#include <string>
#include <vector>

enum ExitCode : int {
    ExitConverted = 0,
    ExitSomeFailed = 1,
    ExitUsage = 2,
    ExitOutputsExist = 3,
    ExitNoWmaModule = 4,
    ExitInterrupted = 130
};

int RunConvertCommand(const std::vector<std::string>& args);

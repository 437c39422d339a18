// brindlex-convert: the command-line front end to the conversion worker.
#include "cli/ConvertCommand.h"

int main(int argc, char** argv) {
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc));
}

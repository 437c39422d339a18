// brindlex-convert whose every row is measured by a MeasuringObserver, in this process or, as a
// worker, in its own: its values come back with each row's outcome.
#include <string>
#include <vector>

#include "cli/ConvertCommand.h"
#include "engine/JobEnvironment.h"
#include "system/AppPaths.h"
#include "system/CodecModules.h"
#include "tests/MeasuringObserver.h"

int main(int argc, char** argv) {
    CodecModules codecs;
    return RunConvertCommand(
        std::vector<std::string>(argv + 1, argv + argc),
        JobEnvironment{codecs, ::pread, ExecutablePath(), MeasuringObserver::Factory()});
}

// brindlex-convert: the command-line front end to the conversion worker.
#include <clocale>

#include "cli/ConvertCommand.h"
#include "engine/JobEnvironment.h"
#include "engine/ObserverGroup.h"
#include "engine/RowConverter.h"
#include "loudness/LoudnessObserver.h"
#include "system/AppPaths.h"
#include "system/CodecModules.h"

int main(int argc, char** argv) {
    // File names are UTF-8; the terminal display measures them in characters.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    RowConverter::KeepMemoryBetweenFiles();
    CodecModules codecs;
    // Worker processes start here too: each makes the observers its settings ask for.
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc),
                             JobEnvironment{codecs, ::pread, ExecutablePath(),
                                            ObserverGroup::Of({LoudnessObserver::Factory()})});
}

#pragma once
// What the program was started to do, read from its command line.
//
// The markers "<at>", "<install>" and "<uninstall>" are searched, in this order and with case, at
// the start of each argument (the program path is none); the first one found decides. Inside an
// argument a marker is just part of a file name. A hand-over passes on the rest of its argument
// and the arguments after it, joined by single spaces, made absolute. A shell or a desktop file
// cannot carry '<' and '>' comfortably, so these spellings mean the same:
//   brindlex --install | --uninstall        as "<install>" / "<uninstall>"
//   brindlex FILE...                        hand each FILE over as "<at>FILE" would
//   brindlex --hand-over FILE...            the same, and every argument after it is a file
//                                           taken as it is (file managers use this form)
// plus --remove-integration, --help (-h) and --version.
#include <string>
#include <vector>

enum class StartMode {
    Normal,            // start the window, unless one runs already
    HandOver,          // pass paths to the running window (starting one) and end
    Install,           // register "Convert To" and end
    Uninstall,         // end; nothing is removed
    RemoveIntegration, // remove the files that Install wrote, and end
    ShowUsage,
    ShowVersion,
    UsageError,
};

struct StartRequest {
    StartMode mode = StartMode::Normal;
    // HandOver: the paths to pass on, in order, made absolute, since the running window has a
    // working folder of its own.
    std::vector<std::string> paths;
    // UsageError: what was wrong.
    std::string problem;
};

// args[0] is the program path as it was started.
StartRequest ReadStartRequest(const std::vector<std::string>& args);
StartRequest ReadStartRequest(int argc, const char* const* argv);

// The first-run help pages are owed before these modes act, and never before a hand-over.
bool ShowsFirstRunHelp(StartMode mode);

#pragma once
// What the program's start needs from the window system, which the entry itself does without.
#include <string>

class StartHost {
public:
    virtual ~StartHost() = default;

    // Opens a document with the desktop's program for it; a failure is not reported.
    virtual void OpenDocument(const std::string& path) = 0;
    // Sets the title, creates the forms, shows the file selector and runs until it closes.
    // Returns the exit status.
    virtual int RunWindow() = 0;
    // Tells the user why start-up ended (an error box where a window can be shown).
    virtual void ShowStartFailure(const std::string& text) = 0;
};

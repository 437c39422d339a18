#pragma once
// What the program's start needs from the window system, which the entry itself does without.
#include <functional>
#include <string>

class StartHost {
public:
    virtual ~StartHost() = default;

    // Opens a help page with the desktop's program for web pages. accepted runs once a program
    // took it (the window may learn that later, from its event loop). A page that no program
    // took is said to the user with its path (in a message box where a window is shown), and
    // accepted does not run.
    virtual void OpenHelpPage(const std::string& path, std::function<void()> accepted) = 0;
    // Sets the title, creates the forms, shows the file selector and runs until it closes.
    // Returns the exit status.
    virtual int RunWindow() = 0;
    // Tells the user why start-up ended (an error box where a window can be shown).
    virtual void ShowStartFailure(const std::string& text) = 0;
};

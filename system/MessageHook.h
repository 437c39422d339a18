#pragma once
// How the core's few message boxes reach the user. The GUI installs a hook that shows a box with
// the information icon and an OK button; without one the text goes to standard error.
#include <functional>
#include <string>

using MessageBoxHook = std::function<void(const std::string& text, const std::string& caption)>;

// Installs hook (an empty one restores standard error) and returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
// Shows an information message; callable from any thread.
void ShowInfoMessage(const std::string& text, const std::string& caption);

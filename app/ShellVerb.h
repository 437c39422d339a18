#pragma once
// The "Convert To" verb in the settings store's StoreRoot::FileTypes: below the file type of each
// of each input extension of the format table (.mp3, .wav, .wma, ...), "<type>\shell\Convert
// To\Command" holds the command that runs the program for one file. An extension without a file
// type gets "BrConvert"; one with a type keeps it, so its own default action stays and it gains
// "Convert To". Failures are silent, like every write to the store. (The desktops of Linux read
// DesktopIntegration's files; these keys keep the registration data for whoever reads the store.)
#include <string>

// A double quote, the executable's full path, a double quote, a space, then "<at>%1".
std::string ShellVerbCommand(const std::string& executable);
void RegisterShellVerb(const std::string& executable);

#pragma once
// Where the program's own files are.
#include <string>

// The folder of the running executable, with a trailing '/'; "" when it cannot be found.
// Read-only data that ships with the program (help pages, codec modules) lives there.
std::string AppFolder();
// The per-user configuration folder, $XDG_CONFIG_HOME/brindlex/ (else ~/.config/brindlex/), with
// a trailing '/'. It is created when missing; "" when no home folder can be found.
std::string ConfigFolder();
// ConfigFolder() + "WaveCompress.bin", the stored WAVE output format; "" without a folder.
std::string WaveCompressPath();

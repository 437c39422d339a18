#pragma once
// Where the program keeps a file of its own (settings, the store), something else may stand: a
// FIFO, a device, a socket, a folder. Opening or reading one can wait forever, so such a file is
// refused, said once, and the program goes on as if the file were not there.
#include <string>
#include <string_view>

// True when something other than a regular file is at path, symbolic links followed.
bool IsSpecialFile(const std::string& path);
// Tells on standard error, once per process and path, that path is not a regular file and what
// was done instead ("left alone", ...).
void TellSpecialFile(const std::string& path, std::string_view instead);

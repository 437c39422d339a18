#pragma once
// Whether a job that involves Windows Media Audio can run: checked before the job starts, so
// that it is refused as a whole instead of failing file by file.
#include <cstdint>
#include <string>
#include <vector>

// True when the WMA module file is present in one of the folders the codec modules are loaded
// from.
bool WmaModuleInstalled(const std::vector<std::string>& codecFolders);

// Empty when the job may start: the module is installed, or neither the target (TargetFormat)
// nor any input (".wma", any case; ".wax" does not count) needs it. Otherwise the message that
// refuses the job.
std::string WmaJobRefusal(uint8_t targetFormat, const std::vector<std::string>& inputPaths,
                          const std::vector<std::string>& codecFolders);

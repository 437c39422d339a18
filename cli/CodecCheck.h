#pragma once
// The codec modules a command-line job needs, checked before it starts: MP3 output needs the
// encoder module, MP3 inputs the decoder module, WMA output or inputs the WMA module.
#include <cstdint>
#include <string>
#include <vector>

// One line per needed module that cannot be loaded, naming its file and the folders searched;
// empty when the job may start.
// codecFolders: where the modules are loaded from.
std::vector<std::string> MissingCodecModules(uint8_t target, const std::vector<std::string>& inputs,
                                             const std::vector<std::string>& codecFolders);

#pragma once
// The codec modules a job needs, checked before it starts: each format's writing modules for its
// target, its reading ones for its inputs (the format table's ReadModules and WriteModules).
#include <cstdint>
#include <string>
#include <vector>

// One line per needed module that cannot be loaded, naming its file and the folders searched;
// empty when the job may start.
// codecFolders: where the modules are loaded from. forWindow: leaves out the modules the window
// leaves to the job (CodecModuleNeed::WindowLeavesToTheJob).
std::vector<std::string> MissingCodecModules(uint8_t target, const std::vector<std::string>& inputs,
                                             const std::vector<std::string>& codecFolders,
                                             bool forWindow = false);

// The first format's refusal of the job (FormatInfo::RefuseJob); empty when none refuses it.
std::string JobRefusal(uint8_t target, const std::vector<std::string>& inputs,
                       const std::vector<std::string>& codecFolders);

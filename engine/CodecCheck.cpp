#include "engine/CodecCheck.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>

#include "catalog/FormatTable.h"
#include "system/FileNames.h"

namespace {
// Loads the module as a conversion would; a loaded module stays loaded, as every module does.
std::string LoadFailure(const CodecModuleNeed& need, const std::vector<std::string>& codecFolders) {
    std::string folders;
    std::string reason = "is missing";
    for (const std::string& folder : codecFolders) {
        const std::string path = folder + need.File;
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return {};
        }
        if (const char* why = dlerror(); why && access(path.c_str(), F_OK) == 0) {
            reason = std::string("cannot be loaded (") + why + ")";
        }
        folders += (folders.empty() ? "" : ", ") + folder;
    }
    return std::string("the ") + std::string(need.What) + " module " + need.File + " " + reason +
           "; looked in " + (folders.empty() ? "no folder" : folders);
}
} // namespace

std::vector<std::string> MissingCodecModules(uint8_t target, const std::vector<std::string>& inputs,
                                             const std::vector<std::string>& codecFolders,
                                             bool forWindow) {
    std::vector<CodecModuleNeed> needs;
    const auto need = [&](std::span<const CodecModuleNeed> modules) {
        for (const CodecModuleNeed& module : modules) {
            if (forWindow && module.WindowLeavesToTheJob) {
                continue;
            }
            if (std::ranges::find(needs, module.File, &CodecModuleNeed::File) == needs.end()) {
                needs.push_back(module);
            }
        }
    };
    // Each module once, in the order of the format table, the writing ones of a format first.
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget() && format.Number == target) {
            need(format.WriteModules);
        }
        if (std::ranges::any_of(inputs, [&](const std::string& input) {
                return FindReadFormat(GetFileExtension(input)) == &format;
            })) {
            need(format.ReadModules);
        }
    }
    std::vector<std::string> lines;
    for (const CodecModuleNeed& module : needs) {
        if (std::string line = LoadFailure(module, codecFolders); !line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::string JobRefusal(uint8_t target, const std::vector<std::string>& inputs,
                       const std::vector<std::string>& codecFolders) {
    for (const FormatInfo& format : Formats()) {
        if (format.RefuseJob) {
            if (std::string refusal = format.RefuseJob(target, inputs, codecFolders);
                !refusal.empty()) {
                return refusal;
            }
        }
    }
    return {};
}

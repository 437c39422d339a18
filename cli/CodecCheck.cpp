#include "cli/CodecCheck.h"

#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <set>

#include "engine/ConversionSettings.h"
#include "system/CodecModuleFiles.h"
#include "system/FileNames.h"

namespace {
struct Need {
    const char* what;
    const char* file;
};

bool HasExtension(const std::string& path, const char* extension) {
    return strcasecmp(GetFileExtension(path).c_str(), extension) == 0;
}

// Loads the module as a conversion would; a loaded module stays loaded, as every module does.
std::string LoadFailure(const Need& need, const std::vector<std::string>& codecFolders) {
    std::string folders;
    std::string reason = "is missing";
    for (const std::string& folder : codecFolders) {
        const std::string path = folder + need.file;
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return {};
        }
        if (const char* why = dlerror(); why && access(path.c_str(), F_OK) == 0) {
            reason = std::string("cannot be loaded (") + why + ")";
        }
        folders += (folders.empty() ? "" : ", ") + folder;
    }
    return std::string("the ") + need.what + " module " + need.file + " " + reason +
           "; looked in " + (folders.empty() ? "no folder" : folders);
}
} // namespace

std::vector<std::string> MissingCodecModules(uint8_t target, const std::vector<std::string>& inputs,
                                             const std::vector<std::string>& codecFolders) {
    std::vector<Need> needs;
    if (target == tfMp3) {
        needs.push_back({"MP3 encoder", Mp3EncoderModuleFile});
    }
    bool mp3Input = false;
    bool wmaInput = false;
    bool mp4Input = false;
    for (const std::string& input : inputs) {
        mp4Input = mp4Input || HasExtension(input, ".M4A");
        mp3Input = mp3Input || HasExtension(input, ".MP3");
        wmaInput = wmaInput || HasExtension(input, ".WMA") || HasExtension(input, ".WAX");
    }
    if (mp3Input) {
        needs.push_back({"MP3 decoder", Mp3DecoderModuleFile});
    }
    if (target == tfWMA || wmaInput) {
        needs.push_back({"WMA", WmaModuleFile});
    }
    if (target == tfAac || target == tfAlac || mp4Input) {
        needs.push_back({"MP4", Mp4ModuleFile});
    }
    std::vector<std::string> lines;
    for (const Need& need : needs) {
        if (std::string line = LoadFailure(need, codecFolders); !line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

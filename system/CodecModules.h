#pragma once
// The codec modules a process converts with, all loaded from one list of folders: each module is
// made on first use and lives as long as this object. A front end makes one for its process; tests
// make their own over folders of their own.
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "system/CodecModule.h"

class CodecModules {
public:
    // folders: searched in order, each ending in '/'.
    explicit CodecModules(std::vector<std::string> folders = InstalledFolders());
    CodecModules(const CodecModules&) = delete;
    CodecModules& operator=(const CodecModules&) = delete;

    // The application folder's "codecs/", then an installed layout's "../lib/brindlex/codecs/".
    static std::vector<std::string> InstalledFolders();
    const std::vector<std::string>& Folders() const { return folders_; }

    // The module of that file which counts as usable with these entry points.
    CodecModule& Module(const std::string& fileName, std::span<const char* const> entryPoints);

private:
    std::mutex mutex_;
    const std::vector<std::string> folders_;
    std::map<std::vector<std::string>, std::unique_ptr<CodecModule>> modules_;
};

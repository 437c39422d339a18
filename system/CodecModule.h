#pragma once
// A codec module: a shared library of this project loaded at run time from the codec folders. It
// counts as usable only when every named entry point resolved. A failed load is tried again on
// the next Load; a module lacking an entry point stays unusable for the life of the process; a
// loaded module is never unloaded, so the entry points stay valid until the process ends.
#include <mutex>
#include <string>
#include <vector>

class CodecModule {
public:
    // folders: searched in order for fileName.
    CodecModule(std::string fileName, std::vector<std::string> entryPoints,
                std::vector<std::string> folders);
    CodecModule(const CodecModule&) = delete;
    CodecModule& operator=(const CodecModule&) = delete;

    // Loads the module unless that was done before; true when it is usable.
    bool Load();
    // True once the module file was loaded, usable or not: nothing will be loaded again.
    bool Loaded();
    // The address of an exported name (listed or not); null when absent or not loaded.
    void* Get(const char* name);
    template <class Function> Function Get(const char* name) {
        return reinterpret_cast<Function>(Get(name));
    }

private:
    enum class State { NotLoaded, Usable, Incomplete };

    bool Resolve();

    std::mutex mutex_;
    const std::string fileName_;
    const std::vector<std::string> entryPoints_;
    const std::vector<std::string> folders_;
    State state_ = State::NotLoaded;
    void* handle_ = nullptr; // deliberately never closed
};

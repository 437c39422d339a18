#pragma once
// An output that did not exist: the worker creates it itself, exclusively, so that a file that
// appeared since the outputs were checked is never replaced, and hands the sink a path to that
// very file. An output that could not be used is removed again, unless someone else's file has
// taken its place meanwhile.
#include <string>

#include "system/UniqueFd.h"

class NewOutputFile {
public:
    explicit NewOutputFile(const std::string& destination);
    NewOutputFile(const NewOutputFile&) = delete;
    NewOutputFile& operator=(const NewOutputFile&) = delete;

    // Something is at the destination already: it is to be treated as an existing output.
    bool Existed() const { return existed_; }
    // What the sink opens: the created file's /proc/self/fd link, or the destination itself when
    // it could not be created here (the sink then fails on its own and reports it).
    const std::string& Path() const { return path_; }
    // Deletes the created file (nothing usable was written to it).
    void Remove();

private:
    std::string destination_;
    std::string path_;
    UniqueFd file_;
    bool existed_ = false;
};

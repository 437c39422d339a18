#pragma once
// What a hand-over may pass on, decided by the process that sends it, where the user sees the
// answer: a path that does not exist, or names something other than a folder or a WAVE, MP3 or
// WMA file, is refused with a line that names it and says why. A folder's path gets its final
// "/", by which the window knows to mark it with its sub-folders.
#include <string>
#include <vector>

struct HandOverPaths {
    std::vector<std::string> passable; // in the order given
    std::vector<std::string> refusals; // "PATH: why; not passed on", one per refused path

    // paths: absolute (StartRequest makes them so).
    static HandOverPaths Check(const std::vector<std::string>& paths);
};

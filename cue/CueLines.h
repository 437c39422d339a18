#pragma once
// The lines of a cue sheet checked one by one before libcue parses them: libcue reports a
// syntax error only on its standard error and parses on, breaks on quote characters in titles,
// refuses FILE types other than its own, and knows few REM fields. What it is given is the sheet
// rewritten from the checked words, with every FILE type WAVE (the type does not choose how the
// audio is read) and without the REM lines, which are read here.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CueLines {
public:
    // A word of a line, and whether it stood between double quotes.
    struct Word {
        std::string text;
        bool quoted;
    };
    static constexpr unsigned MaxTracks = 99;

    explicit CueLines(std::string_view text);

    // Empty when every line is well formed and the times go forwards.
    const std::string& Cause() const { return cause_; }
    const std::string& Rewritten() const { return rewritten_; }
    // The REM fields read: [0] the disc's, [n] those of the n-th track.
    const std::vector<std::map<std::string, std::string>>& Remarks() const { return remarks_; }
    std::size_t FileCount() const { return files_; }

private:
    bool Take(std::string_view line);
    bool TakeCommand(const std::vector<Word>& words);
    bool TakeIndex(const std::vector<Word>& words);
    bool TakeTrack(const std::vector<Word>& words);
    void TakeRemark(std::string_view line);
    bool TrackEnded();
    bool Fail(const std::string& what);

    std::string cause_;
    std::string rewritten_;
    std::vector<std::map<std::string, std::string>> remarks_{1};
    std::size_t files_ = 0;
    unsigned lineNumber_ = 0;
    // Per file: the last INDEX time; per track: its line and whether it had an INDEX 01.
    int64_t lastTime_ = -1;
    unsigned trackLine_ = 0;
    bool trackStarted_ = false;
};

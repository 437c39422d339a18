#include "cue/CueLines.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace {
// The commands libcue knows, with the number of words after each (-1: one or more).
struct Command {
    std::string_view name;
    int words;
};
constexpr std::array<Command, 21> Commands = {{
    {"CATALOG", 1},   {"CDTEXTFILE", 1}, {"FILE", 2},      {"FLAGS", -1},    {"INDEX", 2},
    {"ISRC", 1},      {"PERFORMER", 1},  {"POSTGAP", 1},   {"PREGAP", 1},    {"SONGWRITER", 1},
    {"TITLE", 1},     {"TRACK", 2},      {"COMPOSER", 1},  {"ARRANGER", 1},  {"MESSAGE", 1},
    {"DISC_ID", 1},   {"GENRE", 1},      {"TOC_INFO1", 1}, {"TOC_INFO2", 1}, {"UPC_EAN", 1},
    {"SIZE_INFO", 1},
}};

// The track modes libcue knows; it drops a track of another mode with its INDEX lines.
constexpr std::array<std::string_view, 8> TrackModes = {
    "AUDIO", "CDG", "MODE1/2048", "MODE1/2352", "MODE2/2336", "MODE2/2352", "CDI/2336", "CDI/2352"};

// The REM fields taken from a sheet; each is named as the tag it fills.
constexpr std::array<std::string_view, 4> RemarkFields = {"DATE", "GENRE", "DISCNUMBER", "COMMENT"};

std::string Upper(std::string_view word) {
    std::string upper(word);
    std::ranges::transform(upper, upper.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A number of digits only, at most maxDigits of them.
std::optional<int64_t> Number(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits ||
        !std::ranges::all_of(digits, [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// mm:ss:ff in CD frames.
std::optional<int64_t> Time(std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = text.find(':', first == std::string_view::npos ? 0 : first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto minutes = Number(text.substr(0, first), 4);
    const auto seconds = Number(text.substr(first + 1, second - first - 1), 2);
    const auto frames = Number(text.substr(second + 1), 2);
    if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= 75) {
        return std::nullopt;
    }
    return (*minutes * 60 + *seconds) * 75 + *frames;
}

enum class Split { Fine, Syntax, Quote };

// The words of a line: blank-separated, or between double quotes (kept without them).
Split Words(std::string_view line, std::vector<CueLines::Word>& words) {
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return Split::Fine;
        }
        std::size_t end = at;
        if (line[at] == '"') {
            end = line.find('"', at + 1);
            if (end == std::string_view::npos) {
                return Split::Syntax;
            }
            words.push_back({std::string(line.substr(at + 1, end - at - 1)), true});
            ++end;
            if (end < line.size() && !IsBlank(line[end])) {
                return line.find('"', end) != std::string_view::npos ? Split::Quote : Split::Syntax;
            }
        } else {
            while (end < line.size() && !IsBlank(line[end])) {
                ++end;
            }
            words.push_back({std::string(line.substr(at, end - at)), false});
            if (words.back().text.find('"') != std::string::npos) {
                return Split::Quote;
            }
        }
        at = end;
    }
}

bool HasControl(std::string_view line) {
    return std::ranges::any_of(line, [](unsigned char c) { return c < 0x20 && c != '\t'; });
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}
} // namespace

CueLines::CueLines(std::string_view text) {
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++lineNumber_;
        if (!Take(text.substr(at, end - at))) {
            return;
        }
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            ++end;
        }
        at = end + 1;
    }
    if (!TrackEnded()) {
        return;
    }
    if (remarks_.size() == 1) {
        cause_ = "it lists no tracks";
    }
}

bool CueLines::Fail(const std::string& what) {
    cause_ = what + " in line " + std::to_string(lineNumber_);
    return false;
}

bool CueLines::Take(std::string_view line) {
    if (HasControl(line)) {
        return Fail("a syntax error");
    }
    const std::string_view trimmed = Trimmed(line);
    if (Upper(trimmed.substr(0, 3)) == "REM" && (trimmed.size() == 3 || IsBlank(trimmed[3]))) {
        TakeRemark(trimmed.substr(3));
        return true;
    }
    std::vector<CueLines::Word> words;
    switch (Words(line, words)) {
    case Split::Syntax:
        return Fail("a syntax error");
    case Split::Quote:
        return Fail("a quote character inside a text");
    case Split::Fine:
        break;
    }
    return words.empty() || TakeCommand(words);
}

bool CueLines::TakeCommand(const std::vector<CueLines::Word>& words) {
    const std::string name = Upper(words[0].text);
    const auto command = std::ranges::find(Commands, name, &Command::name);
    const int count = static_cast<int>(words.size()) - 1;
    if (command == Commands.end() || (command->words >= 0 && count != command->words) ||
        count == 0) {
        return Fail("a syntax error");
    }
    if (name == "TRACK") {
        return TakeTrack(words);
    }
    if (name == "INDEX") {
        return TakeIndex(words);
    }
    if ((name == "PREGAP" || name == "POSTGAP") && !Time(words[1].text)) {
        return Fail("a syntax error");
    }
    if (name == "FILE") {
        if (!TrackEnded()) {
            return false;
        }
        ++files_;
        lastTime_ = -1;
        rewritten_ += "FILE " + Quoted(words[1].text) + " WAVE\n";
        return true;
    }
    rewritten_ += name;
    for (std::size_t i = 1; i < words.size(); ++i) {
        rewritten_ += " " + (words[i].quoted ? Quoted(words[i].text) : words[i].text);
    }
    rewritten_ += "\n";
    return true;
}

bool CueLines::TakeTrack(const std::vector<CueLines::Word>& words) {
    if (!TrackEnded()) {
        return false;
    }
    if (remarks_.size() > MaxTracks) {
        cause_ = "it lists more than " + std::to_string(MaxTracks) + " tracks";
        return false;
    }
    // libcue refuses a track before any FILE, and leaks what it had read.
    if (files_ == 0) {
        cause_ = "the track in line " + std::to_string(lineNumber_) + " has no FILE";
        return false;
    }
    const auto number = Number(words[1].text, 2);
    if (!number || *number == 0 ||
        std::ranges::find(TrackModes, Upper(words[2].text)) == TrackModes.end()) {
        return Fail("a syntax error");
    }
    remarks_.emplace_back();
    trackLine_ = lineNumber_;
    trackStarted_ = false;
    rewritten_ += "TRACK " + words[1].text + " " + Upper(words[2].text) + "\n";
    return true;
}

bool CueLines::TakeIndex(const std::vector<CueLines::Word>& words) {
    const auto number = Number(words[1].text, 2);
    const auto time = Time(words[2].text);
    if (!number || !time || remarks_.size() == 1) {
        return Fail("a syntax error");
    }
    if (*time <= lastTime_) {
        return Fail("a time going backwards");
    }
    lastTime_ = *time;
    trackStarted_ = trackStarted_ || *number == 1;
    rewritten_ += "INDEX " + words[1].text + " " + words[2].text + "\n";
    return true;
}

bool CueLines::TrackEnded() {
    if (remarks_.size() > 1 && !trackStarted_) {
        cause_ = "the track in line " + std::to_string(trackLine_) + " has no INDEX 01";
        return false;
    }
    return true;
}

void CueLines::TakeRemark(std::string_view rest) {
    rest = Trimmed(rest);
    const std::size_t blank = rest.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        return;
    }
    const std::string field = Upper(rest.substr(0, blank));
    if (std::ranges::find(RemarkFields, field) == RemarkFields.end()) {
        return;
    }
    std::string_view value = Trimmed(rest.substr(blank));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    if (!value.empty()) {
        remarks_.back()[field] = std::string(value);
    }
}

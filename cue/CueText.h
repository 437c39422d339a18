#pragma once
// A cue sheet's bytes as UTF-8 text. Sheets come from old rippers in the code page of their
// system, so text that is not UTF-8 is taken in the character set a caller names, or else the
// one uchardet recognises, and converted by iconv.
#include <string>
#include <string_view>

class CueText {
public:
    // An empty charset means UTF-8 if the bytes are, or else what uchardet finds.
    CueText(std::string_view bytes, const std::string& charset);

    // Empty when the text could not be had.
    const std::string& Cause() const { return cause_; }
    // Without a byte-order mark.
    const std::string& Text() const { return text_; }

private:
    void Convert(std::string_view bytes, const std::string& charset);

    std::string text_;
    std::string cause_;
};

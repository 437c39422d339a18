#pragma once
// Our action in Thunar's custom actions file (uca.xml), which holds the user's own actions too.
// Our action goes in as text of its own, before the closing </actions>, and comes out again as
// exactly that text, so every other byte of the file (its declaration, encoding, byte-order mark,
// line breaks, character references) stays as it was. libxml2 checks the file before and after:
// a text that is not well-formed, whose root is not <actions>, or that our action cannot join or
// leave without other changes, is refused (nullopt), and the file must be left as it is. Ours is
// known by its unique-id.
#include <optional>
#include <string>

// What the user's uca.xml was before our action first joined it. Our action keeps a note of it,
// so that removing the action can give that back.
enum class ThunarOrigin {
    Own,     // the user's file, with content
    Empty,   // the user's file, empty
    Missing, // no file
    Copy,    // no file of the user's; the system's was copied
};

// text with our action running command: put where an earlier one of ours was, else added at the
// end. For Empty and Missing, text is ignored and a file holding only our action results.
std::optional<std::string> WithThunarAction(const std::string& text, const std::string& command,
                                            ThunarOrigin origin);

struct ThunarRemoval {
    std::string text;
    // Nothing but a file of ours, or the copy of the system's file, is left: remove the file.
    bool removeFile = false;
};
// text without our action (text itself when it holds none). systemText: the system's uca.xml as
// it is now, "" when there is none; a copy still equal to it is removed.
std::optional<ThunarRemoval> WithoutThunarAction(const std::string& text,
                                                 const std::string& systemText);

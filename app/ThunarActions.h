#pragma once
// Our action in Thunar's custom actions file (uca.xml), which holds the user's own actions too.
// The file is read and written with libxml2, so every other action, comment and blank keeps its
// content; ours is known by its unique-id. A text that is not well-formed, or whose root is not
// <actions>, is refused: nullopt, and the file must be left as it is.
#include <optional>
#include <string>

// text with our action running command: put where an earlier one of ours was, else appended.
// An empty text stands for a file with no actions.
std::optional<std::string> WithThunarAction(const std::string& text, const std::string& command);
// text without our action; text itself when it holds none.
std::optional<std::string> WithoutThunarAction(const std::string& text);

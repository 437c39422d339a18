#pragma once
// Takes every tag and picture out of an output of a target format, its audio untouched: the tag
// writers add to what a file holds (a fresh output holds only its encoder's name), so an output
// whose tags are written again is emptied first, or a field removed from its source would stay
// and each cover would come twice.
#include <string>
#include <string_view>

// path: the file (a /proc/self/fd link serves); targetKey: its format's key ("opus"). False when
// the file could not be read or saved, or the format is not one the program writes.
bool ClearTags(const std::string& path, std::string_view targetKey);

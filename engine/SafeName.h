#pragma once
// A relative path that FAT and exFAT accept, part by part: '<' '>' ':' '"' '\' '|' '?' '*',
// control characters and bytes that are no UTF-8 become '_'; trailing dots and spaces are
// dropped; a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, any case, with or
// without extension) gets '_' after its stem; each part is cut to 255 UTF-16 units between
// characters, the last to 255 less extensionUnits (the extension the caller appends, whose own
// characters FAT takes). Empty parts are left out; a part left with nothing is "_".
#include <cstddef>
#include <string>
#include <string_view>

std::string SafeName(std::string_view relativePath, std::size_t extensionUnits = 0);

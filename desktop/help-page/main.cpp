// bmc-help-page TEMPLATE OUTPUT: writes the help page with its list of formats, one table row a
// format from the formats' own entries, in place of the template's marker line; so the page
// lists every format the program has, and a new format needs no edit of the page.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "catalog/FormatTable.h"

namespace {
constexpr std::string_view Marker = "<!-- one row a format";

std::string Extensions(const FormatInfo& format) {
    // A format only written (ALAC) is found in files of its output extension.
    const std::span<const std::string_view> read = format.InputExtensions;
    const std::span<const std::string_view> listed =
        read.empty() ? std::span<const std::string_view>(&format.OutputExtension, 1) : read;
    std::string text;
    for (const std::string_view ext : listed) {
        text += (text.empty() ? "" : ", ") + ("<code>" + std::string(ext) + "</code>");
    }
    return text;
}

std::string FormatRows() {
    std::string rows;
    for (const FormatInfo& format : Formats()) {
        rows += "<tr><td>" + std::string(format.SentenceName()) + "</td><td>" + Extensions(format) +
                "</td><td>" + std::string(format.HelpText) + "</td></tr>\n";
    }
    return rows;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bmc-help-page TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream page;
    bool marked = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(Marker)) {
            page << FormatRows();
            marked = true;
        } else {
            page << line << '\n';
        }
    }
    if (!in.eof() || !marked) {
        std::fprintf(stderr, "bmc-help-page: %s: unreadable, or without the formats' marker\n",
                     argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::trunc);
    out << page.str();
    out.close();
    if (!out) {
        std::fprintf(stderr, "bmc-help-page: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

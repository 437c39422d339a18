// Each program's manual page documents exactly the options its --help lists, and both name the
// window's keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "UserHome.h"

using testtools::Quote;
using testtools::ShellOutput;

namespace {
using Options = std::set<std::string>;

bool IsOption(const std::string& word) {
    const std::size_t name = word.starts_with("--") ? 2 : 1;
    return word.size() > name && word[0] == '-' &&
           std::isalnum(static_cast<unsigned char>(word[name])) &&
           std::ranges::all_of(word.substr(name),
                               [](unsigned char c) { return std::isalnum(c) || c == '-'; });
}

// "-t, --to FORMAT" names -t and --to.
void AddOptions(std::string synopsis, Options& options) {
    std::ranges::replace_if(
        synopsis, [](char c) { return c == ',' || c == '|'; }, ' ');
    std::istringstream words(synopsis);
    for (std::string word; words >> word;) {
        if (IsOption(word)) {
            options.insert(word);
        }
    }
}

// The help's option lines: indented, starting with '-', the synopsis ended by two spaces.
Options HelpOptions(const std::string& help) {
    Options options;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start >= 2 && start != std::string::npos && line[start] == '-') {
            AddOptions(line.substr(start, line.find("  ", start) - start), options);
        }
    }
    return options;
}

// "\fBx\fR" is x, "\-" a '-'; a macro's name and the quotes go.
std::string PlainText(const std::string& line) {
    std::string text;
    for (std::size_t i = line.starts_with('.') ? line.find(' ') : 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            i += line[i + 1] == 'f' ? 2 : 1;
            text += line[i] == '-' ? "-" : "";
        } else if (line[i] != '"') {
            text += line[i];
        }
    }
    return text;
}

// The page's OPTIONS section: each .TP's tag line.
Options PageOptions(const std::string& page) {
    Options options;
    std::istringstream lines(page);
    bool inOptions = false;
    bool tag = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(".SH")) {
            inOptions = line == ".SH OPTIONS";
        } else if (inOptions && tag) {
            AddOptions(PlainText(line), options);
        }
        tag = line == ".TP";
    }
    return options;
}

std::string Page(const std::string& name) {
    return ReadTextFile(std::string(BMC_SOURCE_DIR) + "/desktop/man/" + name + ".1");
}

std::string Help(const std::string& program) {
    int status = 0;
    const std::string help =
        ShellOutput(Quote(std::string(BMC_BINARY_DIR) + "/" + program) + " --help", status);
    EXPECT_EQ(status, 0) << program;
    return help;
}
} // namespace

TEST(ManualPage, TheWindowsPageHasEveryOptionOfItsHelpAndBothNameTheKeys) {
    UserHome user;
    const std::string help = Help("brindlex");
    const std::string page = Page("brindlex");
    EXPECT_EQ(PageOptions(page), HelpOptions(help));
    EXPECT_TRUE(HelpOptions(help).contains("--remove-integration"));
    for (const std::string key : {"F5", "Ctrl+H"}) {
        EXPECT_NE(help.find(key + " "), std::string::npos) << key;
        EXPECT_NE(page.find(".B " + key + "\n"), std::string::npos) << key;
    }
}

TEST(ManualPage, TheConvertersPageHasEveryOptionOfItsHelp) {
    UserHome user;
    const Options help = HelpOptions(Help("brindlex-convert"));
    const Options page = PageOptions(Page("brindlex-convert"));
    EXPECT_TRUE(help.contains("--wma-quality") && help.contains("-0"));
    EXPECT_EQ(page, help);
}

// Each program's manual page documents exactly the options its --help lists, and both name the
// window's keys.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "UserHome.h"

using testtools::Quote;
using testtools::ShellOutput;

namespace {
using Options = std::set<std::string>;

// "-t, --to FORMAT" names -t and --to.
void AddOptions(const std::string& synopsis, Options& options) {
    static const std::regex option(R"((?:^|[\s,|])(--?[A-Za-z0-9][A-Za-z0-9-]*))");
    for (auto it = std::sregex_iterator(synopsis.begin(), synopsis.end(), option);
         it != std::sregex_iterator(); ++it) {
        options.insert((*it)[1]);
    }
}

// The help's option lines: indented, starting with '-', the synopsis ended by two spaces.
Options HelpOptions(const std::string& help) {
    static const std::regex line(R"(^ {2,}(-\S.*?)(?: {2,}|$))");
    Options options;
    std::istringstream lines(help);
    for (std::string text; std::getline(lines, text);) {
        if (std::smatch match; std::regex_search(text, match, line)) {
            AddOptions(match[1], options);
        }
    }
    return options;
}

// The page's OPTIONS section: each .TP's tag line, without its fonts and quotes.
Options PageOptions(const std::string& page) {
    static const std::regex markup(R"(^\.[A-Z]+\s*|\\f[BIRP]|")");
    Options options;
    std::istringstream lines(page);
    bool inOptions = false;
    bool tag = false;
    for (std::string text; std::getline(lines, text);) {
        if (text.starts_with(".SH")) {
            inOptions = text == ".SH OPTIONS";
        } else if (inOptions && tag) {
            text = std::regex_replace(std::regex_replace(text, markup, ""), std::regex(R"(\\-)"),
                                      "-");
            AddOptions(text, options);
        }
        tag = text == ".TP";
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
    Options page = PageOptions(Page("brindlex-convert"));
    EXPECT_TRUE(help.contains("--wma-quality") && help.contains("-0"));
    // Documented ahead of the branches that add them to --help; once there, this changes nothing.
    for (const std::string arriving : {"--from", "--mp3-vbr", "--preset", "--list-presets"}) {
        if (!help.contains(arriving)) {
            page.erase(arriving);
        }
    }
    EXPECT_EQ(page, help);
}

#include <gtest/gtest.h>

#include "engine/NamePattern.h"
#include "engine/SafeName.h"

namespace {
NameValues Album() {
    return {{{"ARTIST", "Ann"},
             {"ALBUMARTIST", "Various"},
             {"ALBUM", "Songs"},
             {"TITLE", "Rain"},
             {"TRACKNUMBER", "3/12"},
             {"DISCNUMBER", "02"},
             {"DATE", "2003-05-01"},
             {"GENRE", "Folk"},
             {"COMPOSER", "Bo"}},
            "01 rain",
            "live/2003"};
}

std::string Named(std::string_view pattern, const NameValues& values, std::size_t extension = 4) {
    auto parsed = NamePattern::Parse(pattern);
    if (auto* error = std::get_if<NamePatternError>(&parsed)) {
        return "error: " + error->Message();
    }
    return std::get<NamePattern>(parsed).Evaluate(values, extension);
}

struct Case {
    const char* pattern;
    NameValues values;
    std::string expected;
};

void ExpectNamed(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Named(c.pattern, c.values), c.expected) << c.pattern;
    }
}
} // namespace

TEST(NamePattern, FieldsWidthsAlternativesAndBrackets) {
    const NameValues bare{{{"ARTIST", "Ann"}}, "take", ""};
    ExpectNamed({
        {"{artist}/{album}/{track} {title}", Album(), "Ann/Songs/3 Rain"},
        {"{albumartist} {genre} {composer} {year} {disc} {name} {folder}", Album(),
         "Various Folk Bo 2003 2 01 rain live/2003"},
        {"{track:02}-{disc:3}", Album(), "03-002"},
        {"{title:04}", Album(), "Rain"},
        {"{albumartist}", bare, "Ann"},
        {"{genre|composer|artist}", bare, "Ann"},
        {"[{disc}-]{track:02}", Album(), "2-03"},
        {"[{disc}-]{title}[ ({genre})]", bare, "take"},
        {"{year}", {{{"DATE", "05/01/1999"}}, "x", ""}, "1999"},
    });
}

TEST(NamePattern, FallbacksOutsideBrackets) {
    const NameValues none{{{"ARTIST", "  "}, {"TRACKNUMBER", "0/9"}}, "take", ""};
    ExpectNamed({
        {"{artist}/{albumartist}/{album}/{title}", none,
         "Unknown Artist/Unknown Artist/Unknown Album/take"},
        {"{genre}{track} {title}", none, "take"},
        {"{albumartist|title}", none, "Unknown Artist"},
        {"[{genre}]", none, "take"},
        {"[{genre}]", {{}, "", ""}, "_"},
    });
}

TEST(NamePattern, HostileValuesStayInOnePart) {
    const auto titled = [](std::string title) { return NameValues{{{"TITLE", title}}, "b", ""}; };
    ExpectNamed({
        {"a/{title}", titled(".."), "a/__"},
        {"a/{title}", titled("."), "a/_"},
        {"a/{title}", titled(".hidden"), "a/_hidden"},
        {"a/{title}", titled("///"), "a/---"},
        {"a/{title}", titled(std::string("x\0y", 3)), "a/x-y"},
        {"a/{title}", titled("  ../x  "), "a/__-x"},
        {"a/{title}", titled("\xff\xc3(z"), "a/__(z"},
        {"a/{title}", titled("\u200f\u202e"), "a/b"},
        {"/a//{title}/", titled("t"), "a/t"},
        {"../{title}", titled("t"), "__/t"},
        {"{folder}/{title}", {{{"TITLE", "t"}}, "b", "../a//.x/ b /"}, "__/a/_x/b/t"},
    });
}

TEST(NamePattern, LongPartsAreCutBetweenCharacters) {
    const NameValues huge{
        {{"TITLE", std::string(64 * 1024, 'x')}, {"ALBUM", std::string(300, 'a') + "\u00e9"}},
        "b",
        ""};
    EXPECT_EQ(Named("{title}", huge, 5), std::string(250, 'x'));
    EXPECT_EQ(Named("{title}/{title}", huge, 0),
              std::string(255, 'x') + "/" + std::string(255, 'x'));
    const NameValues accents{{{"TITLE", std::string(253, 'a') + "\u00e9\u00e9"}}, "b", ""};
    EXPECT_EQ(Named("{title}", accents, 0), std::string(253, 'a') + "\u00e9");
    EXPECT_EQ(Named("{title}", accents, 1), std::string(253, 'a'));
}

TEST(NamePattern, ParseErrorsNameThePlace) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"{artst}", "unknown field name 'artst' at byte 1"},
        {"{artist|}", "unknown field name '' at byte 8"},
        {"a{title", "unbalanced '{' at byte 1"},
        {"{a{title}", "unbalanced '{' at byte 0"},
        {"x}", "unbalanced '}' at byte 1"},
        {"[{title}", "unbalanced '[' at byte 0"},
        {"{title}]", "unbalanced ']' at byte 7"},
        {"[[{title}]]", "'[' inside '[...]' at byte 1"},
        {"{track:}", "bad width '' at byte 7"},
        {"{track:x2}", "bad width 'x2' at byte 7"},
        {"{track:99}", "bad width '99' at byte 7"},
    };
    for (const auto& [pattern, problem] : cases) {
        EXPECT_EQ(Named(pattern, Album()),
                  "error: Naming pattern '" + std::string(pattern) + "': " + problem + ".");
    }
}

TEST(SafeName, FatRules) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a<b>c:d\"e\\f|g?h*i", "a_b_c_d_e_f_g_h_i"},
        {"x\x01y\x7f/\xff", "x_y_/_"},
        {"dots.../ends . ", "dots/ends"},
        {"con/Con.mp3/lpt9.x.y/com0/CONSOLE/AUX  ", "con_/Con_.mp3/lpt9_.x.y/com0/CONSOLE/AUX_"},
        {"/a//b/", "a/b"},
        {"../..", "_/_"},
        {"\u0130<", "\u0130_"},
    };
    for (const auto& [path, safe] : cases) {
        EXPECT_EQ(SafeName(path), safe) << path;
    }
    // A character outside the BMP takes two UTF-16 units, and is not cut in half.
    const std::string emoji = "\U0001F3B5";
    std::string many;
    for (int i = 0; i < 128; ++i) {
        many += emoji;
    }
    std::string kept;
    for (int i = 0; i < 127; ++i) {
        kept += emoji;
    }
    EXPECT_EQ(SafeName(many), kept);
    EXPECT_EQ(SafeName(std::string(300, 'a')), std::string(255, 'a'));
    // The extension the caller appends keeps its room.
    EXPECT_EQ(SafeName("d/" + std::string(300, 'a'), 4), "d/" + std::string(251, 'a'));
    EXPECT_EQ(SafeName("aux", 4), "aux_");
}

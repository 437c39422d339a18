#include "app/ThunarActions.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <strings.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view OurUniqueId = "brindlex-convert-to";
constexpr std::string_view OurIdLine = "<unique-id>brindlex-convert-to</unique-id>";
// What a file that had no actions becomes before ours joins it.
constexpr std::string_view Skeleton =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";
constexpr std::string_view Bom = "\xEF\xBB\xBF";
// Older Thunar versions wrote the declaration with its attributes the wrong way round, which
// their own parser accepts and XML does not.
constexpr std::string_view LegacyDeclaration = "<?xml encoding=\"UTF-8\" version=\"1.0\"?>";
constexpr std::string_view Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr std::string_view RootStart = "<actions";
constexpr std::string_view RootEnd = "</actions>";
constexpr std::string_view ActionStart = "<action";
constexpr std::string_view ActionEnd = "</action>";

// The notes our action keeps of what the file was before it.
constexpr std::array<std::pair<ThunarOrigin, std::string_view>, 3> OriginNotes{{
    {ThunarOrigin::Empty, "this file was empty"},
    {ThunarOrigin::Missing, "this file did not exist"},
    {ThunarOrigin::Copy, "this file did not exist; it began as a copy of the system's"},
}};
constexpr std::string_view SelfClosingNote = "its <actions/> had no end tag";

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, DocFree>;

struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

bool Named(const xmlNode* node, std::string_view name) {
    return node && node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

std::string Content(xmlNode* node) {
    const std::unique_ptr<xmlChar, XmlFree> text(xmlNodeGetContent(node));
    return text ? reinterpret_cast<const char*>(text.get()) : "";
}

// What libxml2 finds in a file: valid when it is well-formed with <actions> at its root.
struct Actions {
    bool valid = false;
    std::size_t count = 0;
    std::vector<std::string> ourCommands;
    // Its encoding is not UTF-8: what we add must be plain ASCII.
    bool asciiOnly = false;
};

Actions Inspect(std::string text) {
    const std::size_t declaration = text.starts_with(Bom) ? Bom.size() : 0;
    if (text.compare(declaration, LegacyDeclaration.size(), LegacyDeclaration) == 0) {
        text.replace(declaration, LegacyDeclaration.size(), Declaration);
    }
    // No network, no entity expansion, no messages on standard error.
    const XmlDoc doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "uca.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    Actions actions;
    if (!Named(root, "actions")) {
        return actions;
    }
    actions.valid = true;
    const auto* encoding = reinterpret_cast<const char*>(doc->encoding);
    actions.asciiOnly = encoding && strcasecmp(encoding, "UTF-8") != 0;
    for (xmlNode* action = root->children; action; action = action->next) {
        if (!Named(action, "action")) {
            continue;
        }
        ++actions.count;
        std::string id, command;
        for (xmlNode* child = action->children; child; child = child->next) {
            if (Named(child, "unique-id")) {
                id = Content(child);
            } else if (Named(child, "command")) {
                command = Content(child);
            }
        }
        if (id == OurUniqueId) {
            actions.ourCommands.push_back(command);
        }
    }
    return actions;
}

// How our action is written into a file: with the file's line breaks and, in a file that is not
// UTF-8, with character references for anything beyond ASCII.
struct Layout {
    std::string eol;
    bool asciiOnly = false;
};

Layout LayoutOf(const std::string& text, const Actions& actions) {
    return {text.find("\r\n") != std::string::npos ? "\r\n" : "\n", actions.asciiOnly};
}

struct Before {
    ThunarOrigin origin = ThunarOrigin::Own;
    bool selfClosing = false;
};

std::string Note(Before before) {
    std::string note;
    for (const auto& [origin, text] : OriginNotes) {
        if (origin == before.origin) {
            note = text;
        }
    }
    if (before.selfClosing) {
        note += std::string(note.empty() ? "" : "; ") + std::string(SelfClosingNote);
    }
    return note.empty() ? note : "<!-- brindlex: before this action, " + note + " -->";
}

std::string Escaped(const std::string& text, bool asciiOnly) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '&') {
            escaped += "&amp;";
        } else if (c == '<') {
            escaped += "&lt;";
        } else if (c == '>') {
            escaped += "&gt;";
        } else if (c == '\r') {
            escaped += "&#13;";
        } else if (c < 0x80 || !asciiOnly) {
            escaped += static_cast<char>(c);
        } else {
            // The text is valid UTF-8 (checked by the caller): one character reference for each
            // sequence.
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            unsigned code = c & (0x7F >> length);
            for (int k = 1; k < length && i + 1 < text.size(); ++k) {
                code = code << 6 | (static_cast<unsigned char>(text[++i]) & 0x3F);
            }
            char reference[16];
            std::snprintf(reference, sizeof reference, "&#%u;", code);
            escaped += reference;
        }
    }
    return escaped;
}

// "*.mp3;*.wav;...;*.MP3;*.WAV;..." from the input formats: the lower case names, then the upper.
std::string InputPatterns() {
    std::string lower;
    std::string upper;
    for (const std::string& name : ListedExtensionNames()) {
        lower += "*." + name + ";";
        upper += (upper.empty() ? "*." : ";*.") + UpperAscii(name);
    }
    return lower + upper;
}

// Laid out as Thunar lays out its own actions: one element a line, indented by a tab, and ended
// with a line break of its own.
std::string OurAction(const std::string& command, const Layout& layout, Before before) {
    std::string action = "<action>" + layout.eol;
    const auto add = [&](const std::string& line) {
        if (!line.empty()) {
            action += "\t" + line + layout.eol;
        }
    };
    add("<icon>brindlex</icon>");
    add("<name>Convert To</name>");
    add(std::string(OurIdLine));
    add("<command>" + Escaped(command, layout.asciiOnly) + "</command>");
    add("<description>Mark the chosen files for conversion in Brindlex Music "
        "Converter</description>");
    add("<patterns>" + InputPatterns() + "</patterns>");
    // Patterns decide; the types only have to let the audio files through, however the
    // desktop classifies .wma.
    add("<audio-files/>");
    add("<video-files/>");
    add("<other-files/>");
    add(Note(before));
    return action + std::string(ActionEnd) + layout.eol;
}

// Which note the text of one of our actions keeps; nothing when it is not exactly as we write it.
std::optional<Before> VerbatimBefore(std::string_view text, const std::string& command,
                                     const Layout& layout) {
    for (const ThunarOrigin origin :
         {ThunarOrigin::Own, ThunarOrigin::Empty, ThunarOrigin::Missing, ThunarOrigin::Copy}) {
        for (const bool selfClosing : {false, true}) {
            if (text == OurAction(command, layout, {origin, selfClosing})) {
                return Before{origin, selfClosing};
            }
        }
    }
    return std::nullopt;
}

struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Whether the tag name that starts at at is name itself, not a longer one.
bool TagNameAt(const std::string& text, std::size_t at, std::string_view name) {
    const std::size_t end = at + name.size();
    return text.compare(at, name.size(), name) == 0 && end < text.size() &&
           std::string_view(">/ \t\r\n").find(text[end]) != std::string_view::npos;
}

// The start of the <action> element before at.
std::size_t ActionStartBefore(const std::string& text, std::size_t at) {
    for (std::size_t p = text.rfind(ActionStart, at); p != std::string::npos;
         p = p == 0 ? std::string::npos : text.rfind(ActionStart, p - 1)) {
        if (TagNameAt(text, p, ActionStart)) {
            return p;
        }
    }
    return std::string::npos;
}

// The text of each of our actions, with the line break after it; empty when one cannot be found.
std::vector<Range> OurRanges(const std::string& text, const Layout& layout) {
    std::vector<Range> ranges;
    for (std::size_t at = text.find(OurIdLine); at != std::string::npos;
         at = text.find(OurIdLine, at + 1)) {
        const std::size_t begin = ActionStartBefore(text, at);
        std::size_t end = text.find(ActionEnd, at);
        if (begin == std::string::npos || end == std::string::npos ||
            (!ranges.empty() && begin < ranges.back().end)) {
            return {};
        }
        end += ActionEnd.size();
        if (text.compare(end, layout.eol.size(), layout.eol) == 0) {
            end += layout.eol.size();
        }
        ranges.push_back({begin, end});
    }
    return ranges;
}

// The "/>" of a root without an end tag; npos when it has one. (A match inside a comment gives a
// result that the check afterwards refuses.)
std::size_t SelfClosingRoot(const std::string& text) {
    for (std::size_t at = text.find(RootStart); at != std::string::npos;
         at = text.find(RootStart, at + 1)) {
        if (TagNameAt(text, at, RootStart)) {
            const std::size_t close = text.find('>', at);
            return close != std::string::npos && text[close - 1] == '/' ? close - 1
                                                                        : std::string::npos;
        }
    }
    return std::string::npos;
}

// The first of our actions replaced by the new one, which keeps its note; the others cut out.
std::string Replaced(std::string text, const std::vector<Range>& ranges, const std::string& command,
                     const Layout& layout, const std::vector<std::string>& oldCommands) {
    const Before before = VerbatimBefore(std::string_view(text).substr(
                                             ranges[0].begin, ranges[0].end - ranges[0].begin),
                                         oldCommands[0], layout)
                              .value_or(Before{});
    for (std::size_t i = ranges.size(); i-- > 1;) {
        text.erase(ranges[i].begin, ranges[i].end - ranges[i].begin);
    }
    return text.replace(ranges[0].begin, ranges[0].end - ranges[0].begin,
                        OurAction(command, layout, before));
}

std::optional<std::string> Added(std::string text, const std::string& command, const Layout& layout,
                                 ThunarOrigin origin) {
    // Before the root's end tag, the last one in the file.
    if (const std::size_t end = text.rfind(RootEnd); end != std::string::npos) {
        return text.insert(end, OurAction(command, layout, {origin, false}));
    }
    const std::size_t slash = SelfClosingRoot(text);
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    return text.replace(slash, 2,
                        ">" + layout.eol + OurAction(command, layout, {origin, true}) +
                            std::string(RootEnd));
}

// What an action of ours, cut out at at, leaves to give back as the note says.
ThunarRemoval GivenBack(std::string text, std::size_t at, const Layout& layout, Before before,
                        const std::string& systemText) {
    const std::string opened = ">" + layout.eol;
    if (before.selfClosing && at >= opened.size() &&
        text.compare(at - opened.size(), opened.size(), opened) == 0 &&
        text.compare(at, RootEnd.size(), RootEnd) == 0) {
        text.replace(at - opened.size(), opened.size() + RootEnd.size(), "/>");
    }
    const bool onlySkeleton = text == Skeleton;
    switch (before.origin) {
    case ThunarOrigin::Empty:
        return {onlySkeleton ? std::string() : text, false};
    case ThunarOrigin::Missing:
        return {text, onlySkeleton};
    case ThunarOrigin::Copy:
        return {text, text == (systemText.empty() ? std::string(Skeleton) : systemText)};
    case ThunarOrigin::Own:
        break;
    }
    return {text, false};
}

} // namespace

std::optional<std::string> WithThunarAction(const std::string& text, const std::string& command,
                                            ThunarOrigin origin) {
    const bool fresh = origin == ThunarOrigin::Empty || origin == ThunarOrigin::Missing;
    const std::string base = fresh || text.empty() ? std::string(Skeleton) : text;
    const Actions before = Inspect(base);
    if (!before.valid) {
        return std::nullopt;
    }
    const Layout layout = LayoutOf(base, before);
    std::optional<std::string> result;
    if (before.ourCommands.empty()) {
        result = Added(base, command, layout, origin);
    } else if (const std::vector<Range> ranges = OurRanges(base, layout);
               ranges.size() == before.ourCommands.size()) {
        result = Replaced(base, ranges, command, layout, before.ourCommands);
    }
    // Exactly one action more of ours, and the same of everyone else's.
    const Actions after = result ? Inspect(*result) : Actions{};
    const std::size_t others = before.count - before.ourCommands.size();
    if (!after.valid || after.count != others + 1 ||
        after.ourCommands != std::vector<std::string>{command}) {
        return std::nullopt;
    }
    return result;
}

std::optional<ThunarRemoval> WithoutThunarAction(const std::string& text,
                                                 const std::string& systemText) {
    const Actions before = Inspect(text);
    if (!before.valid) {
        return std::nullopt;
    }
    if (before.ourCommands.empty()) {
        return ThunarRemoval{text, false};
    }
    const Layout layout = LayoutOf(text, before);
    const std::vector<Range> ranges = OurRanges(text, layout);
    if (ranges.size() != before.ourCommands.size()) {
        return std::nullopt;
    }
    const std::optional<Before> first = VerbatimBefore(
        std::string_view(text).substr(ranges[0].begin, ranges[0].end - ranges[0].begin),
        before.ourCommands[0], layout);
    std::string rest = text;
    for (std::size_t i = ranges.size(); i-- > 0;) {
        rest.erase(ranges[i].begin, ranges[i].end - ranges[i].begin);
    }
    const Actions after = Inspect(rest);
    if (!after.valid || !after.ourCommands.empty() || after.count != before.count - ranges.size()) {
        return std::nullopt;
    }
    // Only an action of ours exactly as we wrote it tells what the file was before.
    if (!first) {
        return ThunarRemoval{rest, false};
    }
    return GivenBack(rest, ranges[0].begin, layout, *first, systemText);
}

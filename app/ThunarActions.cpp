#include "app/ThunarActions.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view OurUniqueId = "brindlex-convert-to";
constexpr std::string_view EmptyFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";
// Older Thunar versions wrote the declaration with its attributes the wrong way round, which
// their own parser accepts and XML does not.
constexpr std::string_view LegacyDeclaration = "<?xml encoding=\"UTF-8\" version=\"1.0\"?>";
constexpr std::string_view Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, DocFree>;

struct NodeFree {
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
};
using XmlNode = std::unique_ptr<xmlNode, NodeFree>;

struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

const xmlChar* X(std::string_view text) {
    return reinterpret_cast<const xmlChar*>(text.data());
}

bool Named(const xmlNode* node, std::string_view name) {
    return node && node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

bool IsBlank(const xmlNode* node) {
    return node && node->type == XML_TEXT_NODE && xmlIsBlankNode(node);
}

XmlDoc Parse(std::string text) {
    if (text.empty()) {
        text = EmptyFile;
    } else if (text.starts_with(LegacyDeclaration)) {
        text.replace(0, LegacyDeclaration.size(), Declaration);
    }
    // No network, no entity expansion, no messages on standard error.
    XmlDoc doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "uca.xml", nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    return Named(root, "actions") ? std::move(doc) : XmlDoc();
}

std::string Serialise(xmlDoc* doc) {
    xmlChar* memory = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &memory, &size, "UTF-8", 0);
    const std::unique_ptr<xmlChar, XmlFree> owner(memory);
    return memory ? std::string(reinterpret_cast<const char*>(memory), size) : std::string();
}

bool IsOurs(xmlNode* action) {
    if (!Named(action, "action")) {
        return false;
    }
    for (xmlNode* child = action->children; child; child = child->next) {
        if (Named(child, "unique-id")) {
            const std::unique_ptr<xmlChar, XmlFree> id(xmlNodeGetContent(child));
            return id && std::string_view(reinterpret_cast<const char*>(id.get())) == OurUniqueId;
        }
    }
    return false;
}

std::vector<xmlNode*> OurActions(xmlNode* root) {
    std::vector<xmlNode*> ours;
    for (xmlNode* child = root->children; child; child = child->next) {
        if (IsOurs(child)) {
            ours.push_back(child);
        }
    }
    return ours;
}

// Laid out as Thunar lays out its own actions: one element a line, indented by a tab.
XmlNode OurAction(xmlDoc* doc, const std::string& command) {
    XmlNode action(xmlNewDocNode(doc, nullptr, X("action"), nullptr));
    const auto add = [&](std::string_view name, const std::string& text) {
        xmlAddChild(action.get(), xmlNewDocText(doc, X("\n\t")));
        xmlNewTextChild(action.get(), nullptr, X(name), text.empty() ? nullptr : X(text));
    };
    add("icon", "brindlex");
    add("name", "Convert To");
    add("unique-id", std::string(OurUniqueId));
    add("command", command);
    add("description", "Mark the chosen files for conversion in Brindlex Music Converter");
    add("patterns", "*.mp3;*.wav;*.wma;*.MP3;*.WAV;*.WMA");
    // Patterns decide; the types only have to let the audio files through, however the
    // desktop classifies .wma.
    add("audio-files", "");
    add("video-files", "");
    add("other-files", "");
    xmlAddChild(action.get(), xmlNewDocText(doc, X("\n")));
    return action;
}

// Removes the node and the line break that follows it.
void Remove(xmlNode* node) {
    if (IsBlank(node->next)) {
        XmlNode blank(node->next);
        xmlUnlinkNode(blank.get());
    }
    XmlNode owned(node);
    xmlUnlinkNode(owned.get());
}

} // namespace

std::optional<std::string> WithThunarAction(const std::string& text, const std::string& command) {
    XmlDoc doc = Parse(text);
    if (!doc) {
        return std::nullopt;
    }
    xmlNode* root = xmlDocGetRootElement(doc.get());
    XmlNode action = OurAction(doc.get(), command);
    std::vector<xmlNode*> ours = OurActions(root);
    if (!ours.empty()) {
        XmlNode old(xmlReplaceNode(ours.front(), action.release()));
        for (std::size_t i = 1; i < ours.size(); ++i) {
            Remove(ours[i]);
        }
        return Serialise(doc.get());
    }
    xmlNode* last = root->last;
    if (!last) {
        xmlAddChild(root, xmlNewDocText(doc.get(), X("\n")));
    }
    xmlAddChild(root, action.release());
    if (!last || IsBlank(last)) {
        xmlAddChild(root, xmlNewDocText(doc.get(), X("\n")));
    }
    return Serialise(doc.get());
}

std::optional<std::string> WithoutThunarAction(const std::string& text) {
    XmlDoc doc = Parse(text);
    if (!doc) {
        return std::nullopt;
    }
    const std::vector<xmlNode*> ours = OurActions(xmlDocGetRootElement(doc.get()));
    if (ours.empty()) {
        return text;
    }
    for (xmlNode* action : ours) {
        Remove(action);
    }
    return Serialise(doc.get());
}

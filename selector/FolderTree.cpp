#include "selector/FolderTree.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "selector/NameOrder.h"
#include "system/AppPaths.h"
#include "system/FileNames.h"
#include "system/FolderScan.h"

namespace {
std::string WithSeparator(std::string path) {
    WithTrailingSlash(path);
    return path;
}

// The path as a caption shows it: without its final separator, except for the root itself.
std::string Shown(const std::string& path) {
    return path.size() > 1 && path.back() == PathSeparator ? path.substr(0, path.size() - 1) : path;
}

std::string UserName() {
    if (const char* value = std::getenv("USER"); value && *value) {
        return value;
    }
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_name ? entry->pw_name : "";
}

// The names of a folder's sub-folders, in the order of the names.
std::vector<std::string> SubfolderNames(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> keyed;
    FolderScan find("*.*", folder);
    while (find.Next()) {
        if (find.IsFolder()) {
            keyed.emplace_back(NameOrder::ForUser().Key(find.GetName()), find.GetName());
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

std::unique_ptr<FolderNode> NewChild(FolderNode& parent, const std::string& name) {
    auto child = std::make_unique<FolderNode>();
    child->text = name;
    child->path = parent.path + name + PathSeparator;
    const FolderTree::Subfolders below = FolderTree::FindSubfolders(child->path);
    child->hasChildren = below.any;
    child->hasShownChildren = below.shown;
    child->hidden = FolderTree::IsHiddenName(name);
    child->parent = &parent;
    return child;
}

// Once loaded, a node's expand button follows its children.
void FlagsFromChildren(FolderNode& node) {
    node.hasChildren = !node.children.empty();
    node.hasShownChildren = std::any_of(node.children.begin(), node.children.end(),
                                        [](const auto& child) { return !child->hidden; });
}
} // namespace

FolderTree::Locations FolderTree::Locations::FromEnvironment() {
    Locations locations;
    locations.home = HomeFolder();
    const std::string user = UserName();
    if (!user.empty()) {
        locations.volumeFolders.push_back("/media/" + user);
        locations.volumeFolders.push_back("/run/media/" + user);
    }
    locations.volumeFolders.push_back("/mnt");
    return locations;
}

FolderTree::FolderTree(const Locations& locations) {
    if (!locations.root.empty()) {
        AddTopLevel(Shown(WithSeparator(locations.root)), WithSeparator(locations.root));
    }
    if (!locations.home.empty()) {
        const std::string home = WithSeparator(locations.home);
        AddTopLevel("Home (" + Shown(home) + ")", home);
    }
    for (const std::string& folder : locations.volumeFolders) {
        AddVolumes(folder);
    }
}

void FolderTree::AddTopLevel(std::string text, std::string path) {
    auto node = std::make_unique<FolderNode>();
    node->text = std::move(text);
    node->path = std::move(path);
    node->hasChildren = true;
    node->hasShownChildren = true;
    topLevel_.push_back(std::move(node));
}

void FolderTree::AddVolumes(const std::string& volumeFolder) {
    // Only the names: a volume is not read before the user opens it (it may be slow or gone).
    const std::string parent = WithSeparator(volumeFolder);
    for (const std::string& name : SubfolderNames(volumeFolder)) {
        AddTopLevel(name + " (" + parent + name + ")", parent + name + PathSeparator);
    }
}

std::size_t FolderTree::LoadSubfolders(FolderNode& node) {
    if (node.childrenLoaded) {
        return 0;
    }
    node.childrenLoaded = true;
    for (const std::string& name : SubfolderNames(node.path)) {
        node.children.push_back(NewChild(node, name));
    }
    FlagsFromChildren(node);
    return node.children.size();
}

FolderTree::Reread FolderTree::ReadSubfolders(FolderNode& node) {
    Reread reread;
    const std::vector<std::string> names = SubfolderNames(node.path);
    const std::set<std::string> present(names.begin(), names.end());
    std::erase_if(node.children, [&](const std::unique_ptr<FolderNode>& child) {
        if (present.contains(child->text)) {
            return false;
        }
        reread.removedPaths.push_back(child->path);
        return true;
    });
    std::set<std::string> held;
    for (const auto& child : node.children) {
        held.insert(child->text);
    }
    for (const std::string& name : names) {
        if (held.contains(name)) {
            continue;
        }
        auto child = NewChild(node, name);
        reread.added.push_back(child.get());
        const auto place =
            std::upper_bound(node.children.begin(), node.children.end(), name,
                             [](const std::string& text, const std::unique_ptr<FolderNode>& other) {
                                 return NameOrder::ForUser().Compare(text, other->text) < 0;
                             });
        node.children.insert(place, std::move(child));
    }
    FlagsFromChildren(node);
    return reread;
}

FolderTree::Subfolders FolderTree::FindSubfolders(const std::string& path) {
    Subfolders found;
    FolderScan find("*.*", path);
    while (!found.shown && find.Next()) {
        if (find.IsFolder()) {
            found.any = true;
            found.shown = !IsHiddenName(find.GetName());
        }
    }
    return found;
}

int FolderTree::CompareFolderNodes(const FolderNode& a, const FolderNode& b) {
    return NameOrder::ForUser().Compare(a.text, b.text);
}

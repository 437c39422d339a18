#include "selector/FolderTree.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "selector/SortKey.h"
#include "system/AppPaths.h"
#include "system/FileNames.h"
#include "system/SFind.h"

namespace {
std::string WithSeparator(std::string path) {
    AddTrailingBackslash(path);
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

void SortChildren(std::vector<std::unique_ptr<FolderNode>>& nodes) {
    std::stable_sort(nodes.begin(), nodes.end(), [](const auto& a, const auto& b) {
        return FolderTree::CompareFolderNodes(*a, *b) < 0;
    });
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
    topLevel_.push_back(std::move(node));
}

void FolderTree::AddVolumes(const std::string& volumeFolder) {
    // Only the names: a volume is not read before the user opens it (it may be slow or gone).
    std::vector<std::string> names;
    SFind find("*.*", volumeFolder);
    while (find.Next()) {
        if (find.IsFolder()) {
            names.push_back(find.GetName());
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return UpperSortKey(a) < UpperSortKey(b);
    });
    const std::string parent = WithSeparator(volumeFolder);
    for (const std::string& name : names) {
        AddTopLevel(name + " (" + parent + name + ")", parent + name + PathSeparator);
    }
}

std::size_t FolderTree::LoadSubfolders(FolderNode& node) {
    if (node.childrenLoaded) {
        return 0;
    }
    node.childrenLoaded = true;
    SFind find("*.*", node.path);
    while (find.Next()) {
        if (!find.IsFolder()) {
            continue;
        }
        auto child = std::make_unique<FolderNode>();
        child->text = find.GetName();
        child->path = node.path + find.GetName() + PathSeparator;
        child->hasChildren = FolderHasSubfolders(child->path);
        child->parent = &node;
        node.children.push_back(std::move(child));
    }
    SortChildren(node.children);
    return node.children.size();
}

bool FolderTree::FolderHasSubfolders(const std::string& path) {
    SFind find("*.*", path);
    while (find.Next()) {
        if (find.IsFolder()) {
            return true;
        }
    }
    return false;
}

int FolderTree::CompareFolderNodes(const FolderNode& a, const FolderNode& b) {
    return CompareKeys(UpperSortKey(a.text), UpperSortKey(b.text));
}

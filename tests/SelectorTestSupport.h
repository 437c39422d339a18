#pragma once
// A file selector model over a scratch folder tree, driven as the window drives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestFolder.h"
#include "selector/FileSelectorModel.h"

class SelectorTest : public ::testing::Test {
protected:
    // Creates the file (and its folders) with size bytes.
    void File(const std::string& relative, std::uintmax_t size = 1) {
        Dir(std::filesystem::path(relative).parent_path().string());
        WriteTextFile(dir_ / relative, std::string(size, 'x'));
    }
    void Dir(const std::string& relative) { std::filesystem::create_directories(dir_ / relative); }
    std::string Path(const std::string& relative) const { return dir_ / relative; }

    // The model, with the scratch folder as its first top-level node (and a home folder below
    // it when UseHome was called before); made on first use.
    FileSelectorModel& Model() {
        if (!model_) {
            FolderTree::Locations locations;
            locations.root = dir_.Path();
            locations.home = home_folder_;
            model_ = std::make_unique<FileSelectorModel>(locations);
        }
        return *model_;
    }
    void UseHome(const std::string& relative) { home_folder_ = Path(relative); }
    FolderNode& Top() { return *Model().Tree().TopLevel().front(); }

    // The child folder called name; a failure when there is none.
    static FolderNode& Child(FolderNode& node, const std::string& name) {
        for (const auto& child : node.children) {
            if (child->text == name) {
                return *child;
            }
        }
        ADD_FAILURE() << "no folder " << name << " below " << node.path;
        return node;
    }
    // Expands each folder from the top down to relative ("A/B/") as a user would; the last one
    // is then the selected node.
    FolderNode& Open(const std::string& relative) {
        FolderNode* node = &Top();
        Model().ExpandFolder(*node);
        for (const auto& name : std::filesystem::path(relative).parent_path()) {
            node = &Child(*node, name.string());
            Model().ExpandFolder(*node);
        }
        return *node;
    }

    // Row index of the file "caption.ext" in the file list.
    std::size_t Row(const std::string& name) {
        const auto& rows = Model().Files().Rows();
        std::size_t i = 0;
        while (i < rows.size() && rows[i].caption + rows[i].extension != name) {
            ++i;
        }
        EXPECT_LT(i, rows.size()) << "no row " << name;
        return i;
    }
    int MarkOf(const std::string& name) { return Model().Files().Rows().at(Row(name)).state; }
    void ClickFile(const std::string& name) { Model().ClickFileMark({}, Row(name)); }

    // The built list as paths relative to the scratch folder.
    std::vector<std::string> Built() {
        std::vector<std::string> paths;
        for (const ConvertRow& row : Model().BuildConvertList()) {
            paths.push_back(row.fullPath.substr(dir_.Path().size()));
        }
        return paths;
    }

    ConfigHome home_; // file type descriptions read the settings store
    TestFolder dir_;
    std::string home_folder_;
    std::unique_ptr<FileSelectorModel> model_;
};

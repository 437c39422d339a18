#pragma once
// A file selector model over a scratch folder tree, driven as the window drives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

    // Expands each folder from the top down to relative ("A/B/"), as a user would, and returns
    // its node; it is then the selected node.
    FolderNode& Open(const std::string& relative) {
        FolderNode* node = &Top();
        Model().ExpandFolder(*node);
        std::size_t start = 0;
        for (std::size_t end; (end = relative.find('/', start)) != std::string::npos;
             start = end + 1) {
            const std::string name = relative.substr(start, end - start);
            FolderNode* next = nullptr;
            for (const auto& child : node->children) {
                if (child->text == name) {
                    next = child.get();
                }
            }
            if (!next) {
                ADD_FAILURE() << "no folder " << name << " below " << node->path;
                return *node;
            }
            node = next;
            Model().ExpandFolder(*node);
        }
        return *node;
    }

    // Row index of the file "caption.ext" in the file list.
    std::size_t Row(const std::string& name) {
        const auto& rows = Model().Files().Rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].caption + rows[i].extension == name) {
                return i;
            }
        }
        ADD_FAILURE() << "no row " << name;
        return rows.size();
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

// Restores the shown-types flags the selector's check boxes change.
class ShownTypesGuard {
public:
    ~ShownTypesGuard() {
        for (auto type : {sftWave, sftMp3, sftWma}) {
            SetShownFileType(type, true);
        }
    }
};

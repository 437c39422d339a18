#pragma once
// The program's forms, created once in their start-up order and living until the program ends;
// afterwards they are only shown and hidden. Destroying them saves the options form's choices.
// The file selector, created first, is the main window: the options form goes back to it.
#include <memory>

#include "engine/JobEnvironment.h"
#include "selector/FolderTree.h"
#include "system/CodecModules.h"

class OptionsForm;
class FileListWindow;
class ConversionErrorsDialog;
class FileSelectorWindow;
class OverwriteDialog;

class AppForms {
public:
    // locations: where the selector's top-level folders come from; codecFolders: where the codec
    // modules are loaded from; workerProgram: brindlex-convert, which converts in worker processes.
    explicit AppForms(
        const FolderTree::Locations& locations = FolderTree::Locations::FromEnvironment(),
        std::vector<std::string> codecFolders = CodecModules::InstalledFolders(),
        std::string workerProgram = InstalledWorkerProgram());
    // brindlex-convert beside this program.
    static std::string InstalledWorkerProgram();
    ~AppForms();
    AppForms(const AppForms&) = delete;
    AppForms& operator=(const AppForms&) = delete;

    FileSelectorWindow& Selector() { return *selector_; }
    OptionsForm& Options() { return *options_; }
    OverwriteDialog& Overwrite() { return *overwrite_; }
    ConversionErrorsDialog& Errors() { return *errors_; }
    FileListWindow& FileList() { return *fileList_; }

private:
    // Every job's codec modules and reads.
    CodecModules codecs_;
    JobEnvironment environment_;
    // In creation order; destroyed the other way round.
    std::unique_ptr<FileSelectorWindow> selector_;
    std::unique_ptr<OptionsForm> options_;
    std::unique_ptr<OverwriteDialog> overwrite_;
    std::unique_ptr<ConversionErrorsDialog> errors_;
    std::unique_ptr<FileListWindow> fileList_;
};

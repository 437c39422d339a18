#pragma once
// The program's forms, created once in their start-up order and living until the program ends;
// afterwards they are only shown and hidden. Destroying them saves the options form's choices.
// The file selector, created first, is the main window: the options form goes back to it.
#include <memory>

#include "engine/JobEnvironment.h"
#include "selector/FolderTree.h"
#include "system/CodecModules.h"

class TForm1;
class TForm2;
class TfrmConvertErr;
class TfrmFileSelector;
class TfrmOverWriteFile;

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

    TfrmFileSelector& Selector() { return *selector_; }
    TForm1& Options() { return *options_; }
    TfrmOverWriteFile& Overwrite() { return *overwrite_; }
    TfrmConvertErr& Errors() { return *errors_; }
    TForm2& FileList() { return *fileList_; }

private:
    // Every job's codec modules and reads.
    CodecModules codecs_;
    JobEnvironment environment_;
    // In creation order; destroyed the other way round.
    std::unique_ptr<TfrmFileSelector> selector_;
    std::unique_ptr<TForm1> options_;
    std::unique_ptr<TfrmOverWriteFile> overwrite_;
    std::unique_ptr<TfrmConvertErr> errors_;
    std::unique_ptr<TForm2> fileList_;
};

#include "forms/AppForms.h"

#include "engine/ObserverGroup.h"
#include "forms/ConversionErrorsDialog.h"
#include "forms/FileListWindow.h"
#include "forms/FileSelectorWindow.h"
#include "forms/OptionsForm.h"
#include "forms/OverwriteDialog.h"
#include "loudness/LoudnessObserver.h"
#include "system/AppPaths.h"

AppForms::AppForms(const FolderTree::Locations& locations, std::vector<std::string> codecFolders,
                   std::string workerProgram)
    : codecs_(std::move(codecFolders)), environment_{codecs_, ::pread, std::move(workerProgram),
                                                     ObserverGroup::Of(
                                                         {LoudnessObserver::Factory()})},
      selector_(std::make_unique<FileSelectorWindow>(locations)),
      options_(std::make_unique<OptionsForm>(environment_)),
      overwrite_(std::make_unique<OverwriteDialog>()),
      errors_(std::make_unique<ConversionErrorsDialog>()),
      fileList_(std::make_unique<FileListWindow>()) {
    selector_->Attach(*options_, *fileList_);
    options_->Attach(*overwrite_, *errors_, *fileList_);
    options_->OnBackToSelector = [selector = selector_.get()] { selector->show(); };
}

AppForms::~AppForms() = default;

std::string AppForms::InstalledWorkerProgram() {
    return AppFolder() + "brindlex-convert";
}

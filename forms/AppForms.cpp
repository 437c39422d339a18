#include "forms/AppForms.h"

#include "forms/TForm1.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmFileSelector.h"
#include "forms/TfrmOverWriteFile.h"
#include "system/AppPaths.h"

AppForms::AppForms(const FolderTree::Locations& locations, std::vector<std::string> codecFolders,
                   std::string workerProgram)
    : codecs_(std::move(codecFolders)), environment_{codecs_, ::pread, std::move(workerProgram)},
      selector_(std::make_unique<TfrmFileSelector>(locations)),
      options_(std::make_unique<TForm1>(environment_)),
      overwrite_(std::make_unique<TfrmOverWriteFile>()),
      errors_(std::make_unique<TfrmConvertErr>()), fileList_(std::make_unique<TForm2>()) {
    selector_->Attach(*options_, *fileList_);
    options_->Attach(*overwrite_, *errors_, *fileList_);
    options_->OnBackToSelector = [selector = selector_.get()] { selector->show(); };
}

AppForms::~AppForms() = default;

std::string AppForms::InstalledWorkerProgram() {
    return AppFolder() + "brindlex-convert";
}

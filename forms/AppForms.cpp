#include "forms/AppForms.h"

#include "forms/TForm1.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmOverWriteFile.h"

AppForms::AppForms()
    : options_(std::make_unique<TForm1>()), overwrite_(std::make_unique<TfrmOverWriteFile>()),
      errors_(std::make_unique<TfrmConvertErr>()), fileList_(std::make_unique<TForm2>()) {
    options_->Attach(*overwrite_, *errors_, *fileList_);
}

AppForms::~AppForms() = default;

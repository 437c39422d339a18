#pragma once
// The program's forms, created once in their start-up order and living until the program ends;
// afterwards they are only shown and hidden. Destroying them saves the options form's choices.
#include <memory>

class TForm1;
class TForm2;
class TfrmConvertErr;
class TfrmOverWriteFile;

class AppForms {
public:
    AppForms();
    ~AppForms();
    AppForms(const AppForms&) = delete;
    AppForms& operator=(const AppForms&) = delete;

    TForm1& Options() { return *options_; }
    TfrmOverWriteFile& Overwrite() { return *overwrite_; }
    TfrmConvertErr& Errors() { return *errors_; }
    TForm2& FileList() { return *fileList_; }

private:
    // In creation order; destroyed the other way round.
    std::unique_ptr<TForm1> options_;
    std::unique_ptr<TfrmOverWriteFile> overwrite_;
    std::unique_ptr<TfrmConvertErr> errors_;
    std::unique_ptr<TForm2> fileList_;
};

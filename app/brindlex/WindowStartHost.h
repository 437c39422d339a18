#pragma once
// The window system's part of the program's start, on Qt. The application object is made when
// first needed: a QApplication for the normal start; for the modes without a window only a
// QGuiApplication, made only when a help page is to be opened, and with no display to connect to
// one that needs none.
#include <QGuiApplication>
#include <memory>

#include "app/StartHost.h"
#include "app/StartRequest.h"

class WindowStartHost : public StartHost {
public:
    WindowStartHost(int& argc, char** argv, StartMode mode);
    ~WindowStartHost() override;
    WindowStartHost(const WindowStartHost&) = delete;
    WindowStartHost& operator=(const WindowStartHost&) = delete;

    void OpenDocument(const std::string& path) override;
    int RunWindow() override;
    void ShowStartFailure(const std::string& text) override;

private:
    void MakeApplication();

    int& argc_;
    char** argv_;
    bool window_;
    std::unique_ptr<QGuiApplication> app_;
};

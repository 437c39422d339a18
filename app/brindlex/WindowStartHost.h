#pragma once
// The window system's part of the program's start, on Qt: a QApplication for the normal start;
// the modes without a window need none (a help page goes to the desktop's opener directly).
#include <QApplication>
#include <functional>
#include <memory>
#include <string>

#include "app/StartHost.h"
#include "app/StartRequest.h"

class WindowStartHost : public StartHost {
public:
    WindowStartHost(int& argc, char** argv, StartMode mode);
    ~WindowStartHost() override;
    WindowStartHost(const WindowStartHost&) = delete;
    WindowStartHost& operator=(const WindowStartHost&) = delete;

    void OpenHelpPage(const std::string& path, std::function<void()> accepted) override;
    int RunWindow() override;
    void ShowStartFailure(const std::string& text) override;

private:
    int& argc_;
    char** argv_;
    bool window_;
    std::unique_ptr<QApplication> app_;
    // A help page owed at the first start: opened once the file selector is shown.
    std::string helpPage_;
    std::function<void()> helpAccepted_;
};

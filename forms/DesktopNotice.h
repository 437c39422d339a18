#pragma once
// A desktop notification through the freedesktop notification service on the session bus, for
// news the user may have missed while working in another window. Nothing is sent, and nothing
// waits, when no session bus or no such service runs.
#include <QString>

class DesktopNotice {
public:
    // True when the notice was handed to a running service.
    static bool Send(const QString& summary, const QString& body);
};

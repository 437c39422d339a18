#include "forms/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {
// The X server time at which the launch happened: the startup id's "_TIME<n>".
std::optional<xcb_timestamp_t> LaunchTime(const std::string& startupId) {
    const std::size_t at = startupId.rfind("_TIME");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const std::string digits = startupId.substr(at + 5);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
        digits.size() > 10) {
        return std::nullopt;
    }
    const unsigned long value = std::stoul(digits);
    return value <= 0xFFFFFFFFul ? std::optional<xcb_timestamp_t>(value) : std::nullopt;
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_window_t RootOf(xcb_connection_t* x) {
    return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
}

void SendToRoot(xcb_connection_t* x, const xcb_client_message_event_t& message) {
    xcb_send_event(x, 0, RootOf(x),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

// The startup notification protocol's "remove" message, in pieces of 20 bytes: the first of
// type _NET_STARTUP_INFO_BEGIN, the rest _NET_STARTUP_INFO, the text's zero byte included.
void EndStartupNotification(xcb_connection_t* x, xcb_window_t window, const std::string& id) {
    std::string text = "remove: ID=";
    for (const char c : id) {
        if (c == ' ' || c == '"' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    text += '\0';
    const xcb_atom_t begin = Atom(x, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(x, "_NET_STARTUP_INFO");
    for (std::size_t at = 0; at < text.size(); at += 20) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 8;
        message.window = window;
        message.type = at == 0 ? begin : more;
        std::memcpy(message.data.data8, text.data() + at,
                    std::min<std::size_t>(20, text.size() - at));
        SendToRoot(x, message);
    }
}

void ActivateOnX11(QWidget& window, const std::string& startupId, bool activate) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || startupId.empty()) {
        return;
    }
    xcb_connection_t* x = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (const auto time = LaunchTime(startupId); time && activate) {
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, id, Atom(x, "_NET_WM_USER_TIME"),
                            XCB_ATOM_CARDINAL, 32, 1, &*time);
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id;
        message.type = Atom(x, "_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 1; // asked for by an application
        message.data.data32[1] = *time;
        SendToRoot(x, message);
    }
    EndStartupNotification(x, id, startupId);
    xcb_flush(x);
}
} // namespace

void BringToFront(QWidget& window, const ActivationTokens& tokens) {
    // Already in front: only the launch's startup notification is left to end.
    const bool inFront = window.isVisible() && window.isActiveWindow() &&
                         !(window.windowState() & Qt::WindowMinimized);
    if (!inFront) {
        const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        if (wayland && !tokens.activationToken.empty()) {
            qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(tokens.activationToken));
        }
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        ActivateOnX11(window, tokens.startupId, !inFront);
    }
}

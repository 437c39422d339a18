#pragma once
// What one launch hands the running window: a path to mark, and the desktop's tokens that let
// the window come to the front for this launch (window managers and compositors keep windows
// from taking the focus without one).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct ActivationTokens {
    std::string activationToken; // XDG_ACTIVATION_TOKEN, for Wayland
    std::string startupId;       // DESKTOP_STARTUP_ID, for X11
    // This process's, as its launcher gave them.
    static ActivationTokens FromEnvironment();
    bool operator==(const ActivationTokens&) const = default;
};

struct HandOverMessage {
    // A file, a folder (ending in "/"), or empty: only come to the front (a second start).
    std::string path;
    ActivationTokens tokens;

    // In a block of size bytes: the path, then the two tokens, each ending in a zero byte (so a
    // reader of the path alone still finds it). Tokens that do not fit beside the path are left
    // out; nullopt when the path itself does not fit.
    std::optional<std::string> Encode(std::size_t size) const;
    static HandOverMessage Decode(std::string_view block);
    bool operator==(const HandOverMessage&) const = default;
};

#include "app/StartRequest.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

constexpr std::string_view HandOverMarker = "<at>";

// Searched in this order; the first found decides.
constexpr std::array<std::pair<std::string_view, StartMode>, 3> Markers{{
    {HandOverMarker, StartMode::HandOver},
    {"<install>", StartMode::Install},
    {"<uninstall>", StartMode::Uninstall},
}};

// Options that stand alone.
constexpr std::array<std::pair<std::string_view, StartMode>, 6> Options{{
    {"--install", StartMode::Install},
    {"--uninstall", StartMode::Uninstall},
    {"--remove-integration", StartMode::RemoveIntegration},
    {"--help", StartMode::ShowUsage},
    {"-h", StartMode::ShowUsage},
    {"--version", StartMode::ShowVersion},
}};

constexpr std::string_view HandOverOption = "--hand-over";

// The running window has a working folder of its own: paths go to it absolute.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The hand-over path of a "<at>" that begins args[first]: the rest of that argument and every
// later argument, joined by single spaces, as the shell's unquoted "<at>%1" splits a path.
std::string HandOverTail(const std::vector<std::string>& args, std::size_t first) {
    std::string tail = args[first].substr(HandOverMarker.size());
    for (std::size_t i = first + 1; i < args.size(); ++i) {
        tail += ' ';
        tail += args[i];
    }
    return tail;
}

// The first argument (the program path is none) that begins with marker, or args.size().
std::size_t ArgumentBeginningWith(const std::vector<std::string>& args, std::string_view marker) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].starts_with(marker)) {
            return i;
        }
    }
    return args.size();
}

// Every non-empty argument from first on; none at all means a normal start.
StartRequest HandOverFiles(const std::vector<std::string>& args, std::size_t first) {
    StartRequest request;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (!args[i].empty()) {
            request.paths.push_back(Absolute(args[i]));
        }
    }
    request.mode = request.paths.empty() ? StartMode::Normal : StartMode::HandOver;
    return request;
}

StartRequest Problem(std::string text) {
    StartRequest request;
    request.mode = StartMode::UsageError;
    request.problem = std::move(text);
    return request;
}

} // namespace

StartRequest ReadStartRequest(const std::vector<std::string>& args) {
    // Checked before the markers, so that a file whose name holds one is still just a file.
    if (args.size() >= 2 && args[1] == HandOverOption) {
        return HandOverFiles(args, 2);
    }
    // A marker counts only where it begins an argument: a file whose name merely holds one (the
    // registered verb passes "<at>" and the path as one argument) is still just a file.
    for (const auto& [marker, mode] : Markers) {
        const std::size_t at = ArgumentBeginningWith(args, marker);
        if (at == args.size()) {
            continue;
        }
        StartRequest request;
        request.mode = mode;
        if (mode == StartMode::HandOver) {
            request.paths.push_back(Absolute(HandOverTail(args, at)));
        }
        return request;
    }
    if (args.size() < 2) {
        return {};
    }
    for (const auto& [option, mode] : Options) {
        if (args[1] == option) {
            if (args.size() > 2) {
                return Problem(std::string(option) + " takes no further arguments");
            }
            StartRequest request;
            request.mode = mode;
            return request;
        }
    }
    if (args[1] == "--") {
        return HandOverFiles(args, 2);
    }
    if (args[1].size() > 1 && args[1][0] == '-') {
        return Problem("unknown option " + args[1]);
    }
    return HandOverFiles(args, 1);
}

StartRequest ReadStartRequest(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        args.emplace_back(argv[i] ? argv[i] : "");
    }
    return ReadStartRequest(args);
}

bool ShowsFirstRunHelp(StartMode mode) {
    return mode == StartMode::Normal || mode == StartMode::Install || mode == StartMode::Uninstall;
}

#include "system/HandOverMessage.h"

#include <algorithm>
#include <cstdlib>

namespace {
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The text up to the next zero byte, from at on; at moves past that byte.
std::string NextField(std::string_view block, std::size_t& at) {
    if (at >= block.size()) {
        return {};
    }
    const std::size_t end = std::min(block.find('\0', at), block.size());
    std::string field(block.substr(at, end - at));
    at = end + 1;
    return field;
}
} // namespace

ActivationTokens ActivationTokens::FromEnvironment() {
    return {Environment("XDG_ACTIVATION_TOKEN"), Environment("DESKTOP_STARTUP_ID")};
}

std::optional<std::string> HandOverMessage::Encode(std::size_t size) const {
    if (path.size() + 1 > size || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::string block = path + '\0';
    const std::string tokenFields = tokens.activationToken + '\0' + tokens.startupId + '\0';
    if (block.size() + tokenFields.size() <= size) {
        block += tokenFields;
    }
    block.resize(size, '\0');
    return block;
}

HandOverMessage HandOverMessage::Decode(std::string_view block) {
    HandOverMessage message;
    std::size_t at = 0;
    message.path = NextField(block, at);
    message.tokens.activationToken = NextField(block, at);
    message.tokens.startupId = NextField(block, at);
    return message;
}

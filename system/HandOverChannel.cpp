#include "system/HandOverChannel.h"

namespace {
// Runs under the block's lock; every path through the channel holds it around test and change.
template <typename Step> auto Locked(SharedBlock& block, Step step) {
    block.Lock();
    auto result = step();
    block.Unlock();
    return result;
}
} // namespace

HandOverChannel::HandOverChannel()
    : block_(PassFileName, BlockSize, &blockOk_), full_(FileIsFullName) {}

bool HandOverChannel::TryDeliver(const HandOverMessage& message) {
    const std::optional<std::string> buffer = message.Encode(BlockSize);
    if (!buffer) {
        return false;
    }
    return Locked(block_, [&] {
        if (full_.IsSet() || !block_.Write(buffer->data())) {
            return false;
        }
        // Set only once the path is complete, so a sender that dies half-way leaves no event.
        full_.Set();
        return true;
    });
}

std::optional<HandOverMessage> HandOverChannel::WaitingMessage() {
    Block buffer{};
    if (!full_.IsSet() || !block_.Read(buffer.data())) {
        return std::nullopt;
    }
    return HandOverMessage::Decode(std::string_view(buffer.data(), buffer.size()));
}

std::optional<std::string> HandOverChannel::WaitingPath() {
    const std::optional<HandOverMessage> message = WaitingMessage();
    return message ? std::optional<std::string>(message->path) : std::nullopt;
}

bool HandOverChannel::IsWaiting(const std::string& path) {
    return Locked(block_, [&] { return WaitingPath() == path; });
}

bool HandOverChannel::Withdraw(const std::string& path) {
    return Locked(block_, [&] {
        if (WaitingPath() != path) {
            return false;
        }
        full_.Reset();
        return true;
    });
}

std::optional<HandOverMessage> HandOverChannel::TakePassedFile() {
    if (!full_.IsSet()) {
        return std::nullopt; // the usual tick: no lock taken
    }
    return Locked(block_, [&] {
        std::optional<HandOverMessage> message = WaitingMessage();
        full_.Reset();
        return message;
    });
}

HandOverChannel& ProcessHandOverChannel() {
    static HandOverChannel channel;
    return channel;
}

#include "system/HandOverChannel.h"

#include <cstring>

namespace {
// Runs under the block's lock; every path through the channel holds it around test and change.
template <typename Step> auto Locked(SSharedData& block, Step step) {
    block.Lock();
    auto result = step();
    block.Unlock();
    return result;
}
} // namespace

HandOverChannel::HandOverChannel()
    : block_(PassFileName, BlockSize, &blockOk_), full_(FileIsFullName) {}

bool HandOverChannel::TryDeliver(const std::string& path) {
    if (path.size() > MaxPathLength) {
        return false;
    }
    Block buffer{};
    std::memcpy(buffer.data(), path.data(), path.size());
    return Locked(block_, [&] {
        if (full_.IsSet() || !block_.Write(buffer.data())) {
            return false;
        }
        // Set only once the path is complete, so a sender that dies half-way leaves no event.
        full_.Set();
        return true;
    });
}

std::optional<std::string> HandOverChannel::WaitingPath() {
    Block buffer{};
    if (!full_.IsSet() || !block_.Read(buffer.data())) {
        return std::nullopt;
    }
    return std::string(buffer.data(), strnlen(buffer.data(), MaxPathLength));
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

std::optional<std::string> HandOverChannel::TakePassedFile() {
    if (!full_.IsSet()) {
        return std::nullopt; // the usual tick: no lock taken
    }
    return Locked(block_, [&] {
        std::optional<std::string> path = WaitingPath();
        full_.Reset();
        return path;
    });
}

HandOverChannel& ProcessHandOverChannel() {
    static HandOverChannel channel;
    return channel;
}

#pragma once
// How a file path passes from a short-lived process to the running main instance: the shared
// block "BMCConvertToPassFile" holds one zero-terminated path (followed by the sender's
// activation tokens, see HandOverMessage), and the event "BMCConvertToFileIsFull" is set while
// that path waits to be taken. Senders fill the block only while the event is clear, under the
// block's mutex; the main instance takes one message per tick.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "system/HandOverMessage.h"
#include "system/NamedEvent.h"
#include "system/SharedBlock.h"

inline constexpr const char* PassFileName = "BMCConvertToPassFile";
inline constexpr const char* FileIsFullName = "BMCConvertToFileIsFull";
// Its existence means that a main instance runs.
inline constexpr const char* MainInstanceMarkerName = "BRINDLEXCOV";
// Its existence means that a hand-over process is alive.
inline constexpr const char* HandOverMarkerName = "BMCJustSpawnedNewBMC";

class HandOverChannel {
public:
    static constexpr std::size_t BlockSize = 4096;
    // The longest path that fits with its terminator.
    static constexpr std::size_t MaxPathLength = BlockSize - 1;

    HandOverChannel();
    HandOverChannel(const HandOverChannel&) = delete;
    HandOverChannel& operator=(const HandOverChannel&) = delete;

    // False when the block or the event could not be set up.
    bool IsUsable() const { return blockOk_ && full_.IsOpen(); }

    // One attempt of a sender: puts the message into the block when no other waits there. False
    // when the block is taken or the path is longer than MaxPathLength.
    bool TryDeliver(const HandOverMessage& message);
    // Whether path still waits in the block for the main instance.
    bool IsWaiting(const std::string& path);
    // Takes path back out of the block when it still waits there; false when it was taken.
    bool Withdraw(const std::string& path);

    // The receiving side, for the main instance's timer: the waiting message, if any, which is
    // thereby taken and leaves the block free for the next sender.
    std::optional<HandOverMessage> TakePassedFile();

private:
    using Block = std::array<char, BlockSize>;
    // The block's message (under the lock): nullopt when none waits or the block cannot be read.
    std::optional<HandOverMessage> WaitingMessage();
    std::optional<std::string> WaitingPath();

    bool blockOk_ = false;
    SharedBlock block_;
    NamedEvent full_;
};

// The channel every process of the program creates at start, whatever it does afterwards.
HandOverChannel& ProcessHandOverChannel();

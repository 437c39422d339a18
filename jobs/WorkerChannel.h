#pragma once
// One end of the connection between brindlex-convert and one of its worker processes: messages
// of text fields, one per line. A field may hold any bytes (file names with tabs or line breaks);
// they are escaped on the way.
#include <mutex>
#include <string>
#include <vector>

#include "system/UniqueFd.h"

class WorkerChannel {
public:
    using Message = std::vector<std::string>;
    enum class ReadResult { Data, Interrupted, Ended };

    explicit WorkerChannel(UniqueFd socket) : socket_(std::move(socket)) {}

    int Fd() const { return socket_.Get(); }
    void Close() { socket_.Reset(); }
    // Sends one message whole; false when the other side is gone. Safe from two threads.
    bool Send(const Message& message);
    // Waits for the next message, through signals; false at the end of the channel.
    bool Receive(Message& message);
    // Reads what has arrived, waiting for it unless the caller knows that something has.
    ReadResult ReadSome();
    // Takes the next whole message read so far; false when there is none.
    bool Next(Message& message);
    // Whether the other side has closed its end (its process ended, or let us go); does not wait.
    bool Closed() const;

private:
    UniqueFd socket_;
    std::string received_;
    std::mutex sending_;
};

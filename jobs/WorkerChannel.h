#pragma once
// One end of the connection between brindlex-convert and one of its worker processes: messages
// of text fields, one per line. A field may hold any bytes (file names with tabs or line breaks);
// they are escaped on the way.
#include <sys/socket.h>

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "system/UniqueFd.h"

class WorkerChannel {
public:
    using Message = std::vector<std::string>;
    enum class ReadResult { Data, Interrupted, Ended };

    explicit WorkerChannel(UniqueFd socket) : socket_(std::move(socket)) {}

    int Fd() const { return socket_.Get(); }
    void Close() { socket_.Reset(); }
    // Sends one message whole, and with it a copy of fd unless it is -1; false when the other
    // side is gone. Safe from two threads.
    bool Send(const Message& message, int fd = -1);
    // Waits for the next message, through signals; false at the end of the channel.
    bool Receive(Message& message);
    // Reads what has arrived, waiting for it unless the caller knows that something has.
    ReadResult ReadSome();
    // Takes the next whole message read so far; false when there is none.
    bool Next(Message& message);
    // The next descriptor that came with a message, in the order they came; none when none did.
    UniqueFd TakeDescriptor();
    // Whether the other side has closed its end (its process ended, or let us go); does not wait.
    bool Closed() const;

private:
    // Descriptors one read may bring: more are closed by the system (no sender sends more).
    static constexpr std::size_t MaxDescriptors = 4;
    ssize_t SendPart(std::string_view text, int fd);
    void KeepDescriptors(msghdr& header);

    UniqueFd socket_;
    std::deque<UniqueFd> descriptors_;
    std::string received_;
    std::mutex sending_;
};

#include "jobs/WorkerChannel.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr char FieldEnd = '\t';
constexpr char MessageEnd = '\n';

void AppendEscaped(std::string& out, const std::string& field) {
    for (const char c : field) {
        if (c == '\\' || c == FieldEnd || c == MessageEnd) {
            out += '\\';
            out += c == FieldEnd ? 't' : c == MessageEnd ? 'n' : '\\';
        } else {
            out += c;
        }
    }
}

bool Unescape(std::string_view line, WorkerChannel::Message& message) {
    message.assign(1, std::string());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == FieldEnd) {
            message.emplace_back();
        } else if (c != '\\') {
            message.back() += c;
        } else if (++i < line.size() && (line[i] == 't' || line[i] == 'n' || line[i] == '\\')) {
            message.back() += line[i] == 't' ? FieldEnd : line[i] == 'n' ? MessageEnd : '\\';
        } else {
            return false;
        }
    }
    return true;
}
} // namespace

bool WorkerChannel::Send(const Message& message) {
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (i > 0) {
            text += FieldEnd;
        }
        AppendEscaped(text, message[i]);
    }
    text += MessageEnd;
    const std::lock_guard lock(sending_);
    for (std::size_t sent = 0; sent < text.size();) {
        // MSG_NOSIGNAL: a worker that died is seen as a failed send, not as SIGPIPE.
        const ssize_t n = send(socket_.Get(), text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

WorkerChannel::ReadResult WorkerChannel::ReadSome() {
    char block[4096];
    const ssize_t n = read(socket_.Get(), block, sizeof block);
    if (n < 0 && errno == EINTR) {
        return ReadResult::Interrupted;
    }
    if (n <= 0) {
        return ReadResult::Ended;
    }
    received_.append(block, static_cast<std::size_t>(n));
    return ReadResult::Data;
}

bool WorkerChannel::Next(Message& message) {
    // A line that does not unescape is passed over: no sender of ours writes one.
    for (std::size_t end; (end = received_.find(MessageEnd)) != std::string::npos;) {
        const bool whole = Unescape(std::string_view(received_).substr(0, end), message);
        received_.erase(0, end + 1);
        if (whole) {
            return true;
        }
    }
    return false;
}

bool WorkerChannel::Receive(Message& message) {
    while (!Next(message)) {
        if (ReadSome() == ReadResult::Ended) {
            return false;
        }
    }
    return true;
}

bool WorkerChannel::Closed() const {
    pollfd fd{socket_.Get(), POLLRDHUP, 0};
    return poll(&fd, 1, 0) > 0 && (fd.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

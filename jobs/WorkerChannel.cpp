#include "jobs/WorkerChannel.h"

#include <cerrno>
#include <cstring>
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

bool WorkerChannel::Send(const Message& message, int fd) {
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
        // The descriptor rides with the message's first bytes.
        const ssize_t n = SendPart(std::string_view(text).substr(sent), sent == 0 ? fd : -1);
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

ssize_t WorkerChannel::SendPart(std::string_view text, int fd) {
    iovec part{const_cast<char*>(text.data()), text.size()};
    msghdr header{};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        cmsghdr* rights = CMSG_FIRSTHDR(&header);
        rights->cmsg_level = SOL_SOCKET;
        rights->cmsg_type = SCM_RIGHTS;
        rights->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(rights), &fd, sizeof fd);
    }
    // MSG_NOSIGNAL: a worker that died is seen as a failed send, not as SIGPIPE.
    return sendmsg(socket_.Get(), &header, MSG_NOSIGNAL);
}

void WorkerChannel::KeepDescriptors(msghdr& header) {
    for (cmsghdr* part = CMSG_FIRSTHDR(&header); part; part = CMSG_NXTHDR(&header, part)) {
        if (part->cmsg_level != SOL_SOCKET || part->cmsg_type != SCM_RIGHTS) {
            continue;
        }
        const std::size_t count = (part->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t at = 0; at < count; ++at) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(part) + at * sizeof(int), sizeof fd);
            descriptors_.emplace_back(fd);
        }
    }
}

UniqueFd WorkerChannel::TakeDescriptor() {
    if (descriptors_.empty()) {
        return UniqueFd();
    }
    UniqueFd first = std::move(descriptors_.front());
    descriptors_.pop_front();
    return first;
}

WorkerChannel::ReadResult WorkerChannel::ReadSome() {
    char block[4096];
    iovec part{block, sizeof block};
    msghdr header{};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * MaxDescriptors)];
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    const ssize_t n = recvmsg(socket_.Get(), &header, MSG_CMSG_CLOEXEC);
    if (n > 0) {
        KeepDescriptors(header);
    }
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

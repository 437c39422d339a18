// Stands in for the program in the hand-over tests, one role per process:
//   receive LOG COUNT    a main instance: takes COUNT paths, one per tick, and ends
//   send LOG PATH COUNT  a hand-over process whose "start the main instance" starts
//                        `receive LOG COUNT` (detached, as the program would)
//   hold LOG             a main instance that holds the shared block's lock until killed
// Every role appends what happens to LOG, one line per event: "main", "second", "start",
// "path <path>", "holding".
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "system/AppPaths.h"
#include "system/HandOver.h"
#include "system/StartDetached.h"

namespace {
using namespace std::chrono_literals;
constexpr auto Tick = 20ms;

void Log(const std::string& log, const std::string& line) {
    const int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = write(fd, text.data(), text.size());
    close(fd);
}

int Receive(const std::string& log, int count) {
    HandOverChannel channel;
    bool running = false;
    const NamedEvent marker(MainInstanceMarkerName, &running);
    Log(log, running ? "second" : "main");
    if (running) {
        return 3;
    }
    // Ends on its own when the paths never come, so a failed test leaves nothing running.
    for (int tick = 0; count > 0 && tick < 3000; ++tick) {
        if (const auto message = channel.TakePassedFile()) {
            Log(log, "path " + message->path);
            --count;
        }
        std::this_thread::sleep_for(Tick);
    }
    return count == 0 ? 0 : 4;
}

int Send(const std::string& log, const std::string& path, const std::string& count) {
    HandOverChannel channel;
    const auto startReceiver = [&] {
        Log(log, "start");
        StartDetached(ExecutablePath(), {"receive", log, count});
    };
    const HandOverOptions options{.poll = Tick, .stayAfterStart = 0ms, .giveUpAfter = 60s};
    return static_cast<int>(HandOver(channel, startReceiver, options).Run(path));
}

int Hold(const std::string& log) {
    const NamedEvent marker(MainInstanceMarkerName);
    SharedBlock block(PassFileName, HandOverChannel::BlockSize);
    block.Lock();
    Log(log, "holding");
    for (;;) {
        pause();
    }
}
} // namespace

int main(int argc, char** argv) {
    const std::string role = argc > 2 ? argv[1] : "";
    if (role == "receive" && argc == 4) {
        return Receive(argv[2], std::stoi(argv[3]));
    }
    if (role == "send" && argc == 5) {
        return Send(argv[2], argv[3], argv[4]);
    }
    if (role == "hold" && argc == 3) {
        return Hold(argv[2]);
    }
    return 64;
}

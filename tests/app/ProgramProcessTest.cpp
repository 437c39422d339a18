// The program as a user's desktop runs it: real processes of brindlex, each test with a user of
// its own, the window off screen and a stand-in xdg-open that records what it is asked to open.
// The processes tell what they do through the report pipe (BRINDLEX_REPORT): "<pid> shown" when
// a main instance's file selector is up, "<pid> passed <files Next would collect> <path>" when it
// has marked a handed-over path, and the stand-in's "<pid> open <url>". This test process adopts
// every process its children leave behind (the main instances, the stand-ins), so it can end and
// reap each of them and knows when the last one has written its line.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "CliTestSupport.h"
#include "UserHome.h"
#include "system/SettingsStore.h"
#include "system/UniqueFd.h"

namespace fs = std::filesystem;

namespace {

const std::string Program = std::string(BMC_BINARY_DIR) + "/brindlex";
const std::string HelpUrl = "file://" + std::string(BMC_BINARY_DIR) + "/conv-help/help.htm";
const std::string ChangesUrl =
    "file://" + std::string(BMC_BINARY_DIR) + "/conv-help/music-conv-version-changes.htm";
// Only against a hang: every wait ends on an event long before.
constexpr int GuardMs = 120000;

struct Line {
    pid_t pid = 0;
    std::string kind;
    std::string rest;
};

// The read end of a FIFO that every process of a test writes its lines into. It keeps a write
// end of its own, so a read waits for the next line instead of seeing the end of the file.
class ReportPipe {
public:
    explicit ReportPipe(const std::string& path) {
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        read_.Reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        write_.Reset(open(path.c_str(), O_WRONLY | O_CLOEXEC));
    }

    // Reads until a line that matches has come; false when none came before the guard.
    bool WaitFor(const std::function<bool(const Line&)>& match) {
        for (std::size_t seen = 0;; ++seen) {
            while (seen == lines_.size()) {
                pollfd fd{read_.Get(), POLLIN, 0};
                if (poll(&fd, 1, GuardMs) <= 0 || !ReadAvailable()) {
                    return false;
                }
            }
            if (match(lines_[seen])) {
                return true;
            }
        }
    }
    bool WaitFor(pid_t pid, const std::string& kind) {
        return WaitFor([&](const Line& line) { return line.pid == pid && line.kind == kind; });
    }
    // Takes what has been written so far.
    void Drain() {
        while (ReadAvailable()) {
        }
    }

    std::vector<Line> Of(const std::string& kind) const {
        std::vector<Line> found;
        std::copy_if(lines_.begin(), lines_.end(), std::back_inserter(found),
                     [&](const Line& line) { return line.kind == kind; });
        return found;
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> urls;
        for (const Line& line : Of("open")) {
            urls.push_back(line.rest);
        }
        return urls;
    }

private:
    bool ReadAvailable() {
        char buffer[4096];
        const ssize_t n = read(read_.Get(), buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            std::istringstream text(pending_.substr(0, end));
            Line line;
            text >> line.pid >> line.kind;
            std::getline(text >> std::ws, line.rest);
            lines_.push_back(line);
            pending_.erase(0, end + 1);
        }
        return true;
    }

    UniqueFd read_;
    UniqueFd write_;
    std::string pending_;
    std::vector<Line> lines_;
};

class ProgramProcessTest : public testing::Test {
protected:
    ProgramProcessTest() {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        StandInOpener(0);
        fs::create_directories(music_);
    }

    // The desktop's opener: records what it is asked to open and ends with status (3: no
    // program for web pages).
    void StandInOpener(int status) {
        fs::create_directories(user_ / "bin");
        WriteTextFile(user_ / "bin/xdg-open",
                      "#!/bin/sh\nprintf '%s open %s\\n' $$ \"$1\" >> \"$BRINDLEX_REPORT\"\nexit " +
                          std::to_string(status) + "\n");
        fs::permissions(user_ / "bin/xdg-open", fs::perms::owner_all);
    }

    ~ProgramProcessTest() override {
        // After a failure: nothing of ours is left running.
        report_.Drain();
        std::set<pid_t> ours = MainInstances();
        ours.insert(spawned_.begin(), spawned_.end());
        for (const pid_t pid : ours) {
            if (!reaped_.contains(pid)) {
                kill(pid, SIGKILL);
            }
        }
        ReapAll();
    }

    clitest::Spawned Start(const std::vector<std::string>& args = {}) {
        clitest::Spawned started = clitest::Spawn(user_, args, 0, Program);
        spawned_.insert(started.pid);
        return started;
    }
    int Run(const std::vector<std::string>& args) { return ExitCode(Start(args).pid); }

    // Starts a main instance and waits until its file selector is up.
    pid_t StartMain() {
        const pid_t pid = Start().pid;
        EXPECT_TRUE(report_.WaitFor(pid, "shown"));
        return pid;
    }
    // Ends a main instance as the session does at logout; it closes its window and ends well.
    void End(pid_t pid) {
        kill(pid, SIGTERM);
        EXPECT_EQ(ExitCode(pid), 0);
    }

    // Waits until the process ends (a child or one adopted) and reaps it.
    int ExitCode(pid_t pid) {
        const UniqueFd handle(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
        pollfd fd{handle.Get(), POLLIN, 0};
        if (!handle.Valid() || poll(&fd, 1, GuardMs) != 1) {
            ADD_FAILURE() << "process " << pid << " did not end";
            return -1;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        reaped_.insert(pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // Waits for every process left (the main instances must have been ended) and then takes
    // every line they wrote.
    void ReapAll() {
        for (pid_t pid; (pid = waitpid(-1, nullptr, 0)) > 0 || errno == EINTR;) {
            reaped_.insert(pid);
        }
        report_.Drain();
    }

    std::set<pid_t> MainInstances() const {
        std::set<pid_t> pids;
        for (const Line& line : report_.Of("shown")) {
            pids.insert(line.pid);
        }
        return pids;
    }
    // The processes that our children started and left to us, but for the xdg-open stand-ins.
    std::set<pid_t> Adopted() const {
        std::set<pid_t> pids;
        for (const pid_t pid : reaped_) {
            const auto opens = report_.Of("open");
            if (!spawned_.contains(pid) &&
                std::none_of(opens.begin(), opens.end(),
                             [&](const Line& l) { return l.pid == pid; })) {
                pids.insert(pid);
            }
        }
        return pids;
    }
    std::string Music(const std::string& name) {
        WriteTextFile(music_ + name, "");
        return music_ + name;
    }
    static bool Exists(const char* marker) {
        return StoreValueExists(StoreRoot::User, SettingsKey, marker);
    }

    UserHome user_;
    ScopedEnv platform_{"QT_QPA_PLATFORM", "offscreen"};
    ScopedEnv path_{"PATH", user_ / "bin:" + std::getenv("PATH")};
    ScopedEnv reportEnv_{"BRINDLEX_REPORT", user_ / "report"};
    ReportPipe report_{user_ / "report"};
    std::set<pid_t> spawned_;
    std::set<pid_t> reaped_;
    const std::string music_ = user_.Home() + "/Mü sic/";
};

} // namespace

TEST_F(ProgramProcessTest, TheFirstStartOpensTheHelpOnceAndALaterStartNothing) {
    // The window opens the page once it shows, and records it once the opener took it.
    const pid_t first = StartMain();
    EXPECT_TRUE(report_.WaitFor(first, "help"));
    EXPECT_EQ(report_.Of("help").front().rest, "taken");
    End(first);
    End(StartMain());
    ReapAll();
    EXPECT_EQ(report_.Opened(), std::vector<std::string>{HelpUrl});
    EXPECT_TRUE(fs::is_regular_file(std::string(BMC_BINARY_DIR) + "/conv-help/help.htm"));
    EXPECT_TRUE(Exists("ShownConvHelp") && Exists("ShownConvVerChgsr1"));
}

TEST_F(ProgramProcessTest, AfterAnUpdateTheChangesPageOpensOnceEvenWithoutAWindow) {
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "ShownConvHelp");
    EXPECT_EQ(Run({"--uninstall"}), 0);
    End(StartMain());
    ReapAll();
    EXPECT_EQ(report_.Opened(), std::vector<std::string>{ChangesUrl});
    EXPECT_TRUE(report_.Of("shown").size() == 1) << "--uninstall showed a window";
}

TEST_F(ProgramProcessTest, ASecondStartEndsAtOnceAndAHandOverOpensNothing) {
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvHelp");
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvVerChgsr1");
    const pid_t main = StartMain();

    const clitest::Spawned second = Start();
    EXPECT_EQ(ExitCode(second.pid), 0);
    report_.Drain();
    EXPECT_EQ(MainInstances(), std::set<pid_t>{main});
    EXPECT_EQ(ReadTextFile(second.outPath) + ReadTextFile(second.errPath), "");

    // A hand-over for a user who has not seen the help yet: it is not the hand-over's to show.
    const std::string file = Music("a b.wav");
    {
        const ScopedEnv freshStore("XDG_CONFIG_HOME", user_ / "other config");
        EXPECT_EQ(Run({file}), 0);
        EXPECT_FALSE(Exists("ShownConvHelp"));
    }
    EXPECT_TRUE(report_.WaitFor(main, "passed"));
    EXPECT_EQ(report_.Of("passed").front().rest, "1 " + file);
    End(main);
    ReapAll();
    EXPECT_TRUE(report_.Opened().empty());
}

TEST_F(ProgramProcessTest, TwentyHandOversWithoutAMainInstanceStartExactlyOne) {
    std::set<std::string> files;
    std::vector<pid_t> handOvers;
    for (int i = 1; i <= 20; ++i) {
        const std::string file = Music("track " + std::to_string(i) + ".wav");
        files.insert(file);
        handOvers.push_back(Start({"--hand-over", file}).pid);
    }
    for (const pid_t pid : handOvers) {
        EXPECT_EQ(ExitCode(pid), 0);
    }
    std::size_t passed = 0;
    EXPECT_TRUE(
        report_.WaitFor([&](const Line& line) { return line.kind == "passed" && ++passed == 20; }));
    ASSERT_EQ(MainInstances().size(), 1U);
    const pid_t main = *MainInstances().begin();
    std::set<std::string> arrived;
    for (const Line& line : report_.Of("passed")) {
        EXPECT_EQ(line.pid, main);
        arrived.insert(line.rest.substr(line.rest.find(' ') + 1));
    }
    EXPECT_EQ(arrived, files);
    // Next would now collect all twenty.
    EXPECT_EQ(report_.Of("passed").back().rest.substr(0, 3), "20 ");
    End(main);
    ReapAll();
    EXPECT_EQ(Adopted(), std::set<pid_t>{main}) << "more than one main instance was started";
    // The main instance, started for a new user, owed the help; the hand-overs owed nothing.
    EXPECT_EQ(report_.Opened(), std::vector<std::string>{HelpUrl});
}

TEST_F(ProgramProcessTest, AKilledMainInstanceStopsNeitherTheNextStartNorTheNextHandOver) {
    const pid_t first = StartMain();
    kill(first, SIGKILL);
    EXPECT_EQ(ExitCode(first), 128 + SIGKILL);

    const pid_t second = StartMain();
    EXPECT_NE(second, first);
    kill(second, SIGKILL);
    EXPECT_EQ(ExitCode(second), 128 + SIGKILL);

    const std::string file = Music("after.mp3");
    EXPECT_EQ(Run({"--hand-over", file}), 0);
    EXPECT_TRUE(report_.WaitFor([&](const Line& line) { return line.kind == "passed"; }));
    const Line passed = report_.Of("passed").front();
    EXPECT_EQ(passed.rest, "1 " + file);
    EXPECT_EQ(MainInstances(), (std::set<pid_t>{first, second, passed.pid}));
    End(passed.pid);
}

// What the in-process tests of the integration cannot show: the help before the install, without
// a display, and this very program in what is written (the files themselves:
// DesktopIntegrationTest).
TEST_F(ProgramProcessTest, InstallWithoutADisplayOpensTheHelpAndRegistersThisProgram) {
    const ScopedEnv noPlatform("QT_QPA_PLATFORM", std::nullopt);
    const ScopedEnv noDisplay("DISPLAY", std::nullopt);
    const ScopedEnv noWayland("WAYLAND_DISPLAY", std::nullopt);
    StoreWriteText("mp3file", StoreRoot::FileTypes, ".mp3", "");
    StoreWriteText("audio/x-ms-wma", StoreRoot::FileTypes, ".wma", "Content Type");

    EXPECT_EQ(Run({"<install>"}), 0);
    ReapAll();
    EXPECT_EQ(report_.Opened(), std::vector<std::string>{HelpUrl});

    const std::string command = "\"" + Program + "\" <at>%1";
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".mp3", ""), "mp3file");
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, "mp3file\\shell\\Convert To\\Command", ""),
              command);
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, ".wma", ""), "BrConvert");
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, "BrConvert\\shell\\Convert To\\Command", ""),
              command);
    const std::string entry = user_.DataHome() + "applications/brindlex-convert-to.desktop";
    EXPECT_NE(ReadTextFile(entry).find("\nExec=\"" + Program + "\" --hand-over %F\n"),
              std::string::npos);
}

// Without XDG_RUNTIME_DIR a user's processes meet in /tmp/brindlex-<uid>. Another user who made
// that folder first stops neither the hand-over nor the single instance: they meet in a private
// folder of the user's cache instead, and each says so once. /tmp is shared, so as root the
// processes run as a user of their own, unique to this run, and the folder belongs to yet another;
// otherwise the folder is one open to all. The file's name holds a marker, which is no more than
// part of the name.
TEST_F(ProgramProcessTest, ASquattedSharedFolderGivesWayToAPrivateOneInTheCache) {
    const bool root = geteuid() == 0;
    const uid_t uid = root ? 40000 + static_cast<uid_t>(getpid() % 20000) : geteuid();
    const std::string squatted = "/tmp/brindlex-" + std::to_string(uid);
    if (!root && fs::exists(squatted)) {
        GTEST_SKIP() << squatted << " is in use";
    }
    fs::remove_all(squatted);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removeAtEnd(
        &squatted, [](const std::string* path) {
            std::error_code ignored;
            fs::remove_all(*path, ignored);
        });
    ASSERT_EQ(mkdir(squatted.c_str(), 0700), 0);
    ASSERT_EQ(root ? chown(squatted.c_str(), 12345, 12345) : chmod(squatted.c_str(), 0777), 0);
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    if (root) {
        ASSERT_EQ(lchown(user_.Path().c_str(), uid, uid), 0);
        for (const auto& entry : fs::recursive_directory_iterator(user_.Path())) {
            ASSERT_EQ(lchown(entry.path().c_str(), uid, uid), 0);
        }
    }
    const std::string id = std::to_string(uid);
    const auto startAsUser = [&](const std::vector<std::string>& args) {
        if (!root) {
            return Start(args);
        }
        std::vector<std::string> all{"--reuid=" + id, "--regid=" + id, "--clear-groups", Program};
        all.insert(all.end(), args.begin(), args.end());
        const clitest::Spawned started = clitest::Spawn(user_, all, 0, "/usr/bin/setpriv");
        spawned_.insert(started.pid);
        return started;
    };

    const clitest::Spawned main = startAsUser({});
    ASSERT_TRUE(report_.WaitFor(main.pid, "shown"));
    const clitest::Spawned second = startAsUser({});
    EXPECT_EQ(ExitCode(second.pid), 0);
    const std::string file = Music("x<install>.wav");
    const clitest::Spawned handOver = startAsUser({file});
    EXPECT_EQ(ExitCode(handOver.pid), 0);
    EXPECT_TRUE(report_.WaitFor(main.pid, "passed"));
    End(main.pid);
    ReapAll();
    EXPECT_EQ(MainInstances(), std::set<pid_t>{main.pid});
    ASSERT_EQ(report_.Of("passed").size(), 1U);
    EXPECT_EQ(report_.Of("passed").front().rest, "1 " + file);

    const std::string fallback = user_.Home() + "/.cache/brindlex/runtime";
    const std::string note = ": " + squatted +
                             " is not a folder of this user with mode 0700; using " + fallback +
                             " instead\n";
    for (const clitest::Spawned& process : {main, second, handOver}) {
        const std::string err = ReadTextFile(process.errPath);
        EXPECT_NE(err.find(note), std::string::npos) << err;
        EXPECT_EQ(err.find(note), err.rfind(note)) << err;
    }
    struct stat st {};
    ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 07777) == 0700);
}

// A FIFO where a settings file or a file of the integration belongs would keep every start
// waiting for a writer. Each is refused with a line naming it, and the defaults serve.
TEST_F(ProgramProcessTest, FifosAtTheSettingsAndIntegrationFilesHoldNothingUp) {
    const std::string settings = user_.ConfigHome() + "brindlex/";
    const std::string waveFormat = settings + "WaveCompress.bin";
    const std::string journal = settings + "registry.sqlite-journal";
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    const std::string entry = user_.DataHome() + "applications/brindlex-convert-to.desktop";
    for (const std::string& fifo : {waveFormat, journal, uca, entry}) {
        fs::create_directories(fs::path(fifo).parent_path());
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    }
    std::string err;
    const auto run = [&](const std::vector<std::string>& args, int status,
                         const std::string& program = Program) {
        const clitest::Spawned started = clitest::Spawn(user_, args, 0, program);
        spawned_.insert(started.pid);
        EXPECT_EQ(ExitCode(started.pid), status) << args.front();
        err += ReadTextFile(started.errPath);
        return ReadTextFile(started.outPath);
    };
    EXPECT_NE(run({"--help"}, 0).find("Usage"), std::string::npos);
    EXPECT_NE(run({"--install"}, 1).find("kept      " + entry + " (not a regular file)"),
              std::string::npos);
    EXPECT_NE(err.find("FAILED    " + uca + " (not a regular file; left as it is)"),
              std::string::npos);
    EXPECT_NE(run({"--remove-integration"}, 0).find("kept      " + uca + " (not a regular file)"),
              std::string::npos);

    const clitest::Spawned window = Start();
    EXPECT_TRUE(report_.WaitFor(window.pid, "shown"));
    End(window.pid);
    err += ReadTextFile(window.errPath);

    const std::string input = user_ / "in.wav";
    const std::string out = user_ / "out/";
    clitest::Shell("sox -q -n -r 22050 -c 1 -b 8 " + clitest::Quote(input) + " synth 0.5 sine 440");
    run({"-t", "wav", "-o", out, input}, 0, clitest::ConverterPath());
    // The default WAVE output format: 16-bit stereo PCM at 44100 Hz.
    EXPECT_EQ(clitest::ProbeAll(out + "in.wav", "codec_name,sample_rate,channels"),
              "codec_name=pcm_s16le\nsample_rate=44100\nchannels=2");
    ReapAll();

    const auto said = [&](const std::string& path, const std::string& what) {
        return err.find(": " + path + " is not a regular file; " + what) != std::string::npos;
    };
    EXPECT_TRUE(said(waveFormat, "left alone")) << err;
    EXPECT_TRUE(said(journal, "set aside as " + journal + ".corrupt-")) << err;
    for (const std::string& fifo : {waveFormat, uca, entry}) {
        EXPECT_TRUE(fs::is_fifo(fifo)) << fifo;
    }
    EXPECT_FALSE(fs::exists(journal));
}

// The sending process makes each path absolute, refuses what does not exist or is no audio file
// (one line each, exit status 1) and passes the rest: a file is ticked and its folder and those
// above it show so at once; a folder is marked with its sub-folders.
TEST_F(ProgramProcessTest, AHandOverRefusesWhatItCannotMarkAndShowsTheMarksAbove) {
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvHelp");
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvVerChgsr1");
    fs::create_directories(music_ + "Album/CD 1");
    const std::string file = Music("Album/CD 1/01 Intro.wav");
    Music("Album/notes.txt");
    const pid_t main = StartMain();

    // Given relative to another working folder than the window's.
    const fs::path here = fs::current_path();
    fs::current_path(music_ + "Album");
    const clitest::Spawned handOver = Start({"CD 1/01 Intro.wav", "missing.mp3", "notes.txt", "."});
    fs::current_path(here);
    EXPECT_EQ(ExitCode(handOver.pid), 1);
    const std::string err = ReadTextFile(handOver.errPath);
    EXPECT_EQ(err, "brindlex: " + music_ +
                       "Album/missing.mp3: no such file or folder; not passed on\n"
                       "brindlex: " +
                       music_ +
                       "Album/notes.txt: not a WAVE, MP3, WMA, FLAC, Opus, Vorbis or AAC file; not "
                       "passed on\n");

    std::size_t passed = 0;
    EXPECT_TRUE(
        report_.WaitFor([&](const Line& line) { return line.kind == "above" && ++passed == 2; }));
    const std::vector<Line> lines = report_.Of("passed");
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].rest, "1 " + file);
    EXPECT_EQ(lines[1].rest, "1 " + music_ + "Album/"); // the file is inside the folder marked
    // The file's folder holds a ticked file (3); every folder above it up to the top-level Home
    // shows that something below is marked (2). Then the folder itself is marked with its
    // sub-folders (5), and so is the file's folder below it.
    const std::vector<Line> above = report_.Of("above");
    const std::size_t depth = static_cast<std::size_t>(std::count(
        music_.begin() + static_cast<std::ptrdiff_t>(user_.Home().size()), music_.end(), '/'));
    std::string twos;
    for (std::size_t i = 0; i < depth; ++i) {
        twos += " 2";
    }
    EXPECT_EQ(above[0].rest, "3 2" + twos);
    EXPECT_EQ(above[1].rest, "5" + twos);
    End(main);

    // Nothing to pass on at all: no window is started for it.
    EXPECT_EQ(Run({"missing.mp3"}), 1);
    ReapAll();
    EXPECT_EQ(MainInstances(), std::set<pid_t>{main});
}

TEST_F(ProgramProcessTest, ASecondStartBringsTheRunningWindowToTheFrontWithItsToken) {
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvHelp");
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvVerChgsr1");
    const pid_t main = StartMain();
    {
        const ScopedEnv token("XDG_ACTIVATION_TOKEN", "from-the-launcher");
        const ScopedEnv startupId("DESKTOP_STARTUP_ID", "launcher-1_TIME77");
        EXPECT_EQ(Run({}), 0);
    }
    EXPECT_TRUE(report_.WaitFor(main, "front"));
    EXPECT_EQ(report_.Of("front").front().rest, "from-the-launcher launcher-1_TIME77");
    // A file handed over brings it too, with its own launch's token.
    const std::string file = Music("x.mp3");
    {
        const ScopedEnv token("XDG_ACTIVATION_TOKEN", "second-launch");
        EXPECT_EQ(Run({"--hand-over", file}), 0);
    }
    EXPECT_TRUE(report_.WaitFor(main, "passed"));
    End(main);
    ReapAll();
    EXPECT_EQ(MainInstances(), std::set<pid_t>{main});
}

// No program for web pages: the first start says so (in a box) and does not record the help as
// shown, so the next start offers it again; once a program takes it, it is recorded.
TEST_F(ProgramProcessTest, AHelpPageNoProgramTookIsOfferedAgainAtTheNextStart) {
    StandInOpener(3);
    const pid_t first = StartMain();
    EXPECT_TRUE(report_.WaitFor(first, "help"));
    EXPECT_EQ(report_.Of("help").back().rest, "refused");
    End(first);
    EXPECT_FALSE(Exists("ShownConvHelp"));

    StandInOpener(0);
    const pid_t second = StartMain();
    EXPECT_TRUE(report_.WaitFor(second, "help"));
    EXPECT_EQ(report_.Of("help").back().rest, "taken");
    End(second);
    ReapAll();
    EXPECT_EQ(report_.Opened(), (std::vector<std::string>{HelpUrl, HelpUrl}));
    EXPECT_TRUE(Exists("ShownConvHelp"));

    // Without a window (the install from a terminal) it is said on standard error. A user who
    // saw the help but not the page of what changed:
    const ScopedEnv freshStore("XDG_CONFIG_HOME", user_ / "other config");
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "ShownConvHelp");
    StandInOpener(3);
    const clitest::Spawned uninstall = Start({"--uninstall"});
    EXPECT_EQ(ExitCode(uninstall.pid), 0);
    EXPECT_NE(ReadTextFile(uninstall.errPath).find("the help page could not be opened"),
              std::string::npos);
    EXPECT_FALSE(Exists("ShownConvVerChgsr1"));
}

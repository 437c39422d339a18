// "Convert To" in the file managers, checked the way each of them runs it: the desktop entries
// through GLib's launcher (gio launch), Thunar's command through /bin/sh as Thunar does, the
// scripts directly. The program they start is a stand-in that records its arguments.
#include "app/DesktopIntegration.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

#include "UserHome.h"
#include "app/CommandLineModes.h"
#include "app/IntegrationTexts.h"
#include "app/StartRequest.h"
#include "system/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs a shell command and waits for everything it started, including what a launcher started
// and left behind: this process adopts those orphans and reaps them.
int RunAndReap(const std::string& command) {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const int status = std::system(command.c_str());
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string KeyValue(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(key + "=")) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

StartRequest Request(StartMode mode) {
    StartRequest request;
    request.mode = mode;
    return request;
}

using Snapshot = std::map<std::string, std::tuple<std::string, unsigned, long>>;

// Every file below folder: content, permissions and modification time.
Snapshot Take(const std::string& folder) {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat st {};
        if (entry.is_regular_file() && stat(entry.path().c_str(), &st) == 0) {
            files[entry.path()] = {ReadTextFile(entry.path()), st.st_mode & 07777,
                                   st.st_mtim.tv_sec * 1000000000L + st.st_mtim.tv_nsec};
        }
    }
    return files;
}

class DesktopIntegrationTest : public ::testing::Test {
protected:
    DesktopIntegrationTest() {
        fs::create_directories(fs::path(program_).parent_path());
        WriteTextFile(program_,
                      "#!/bin/sh\nfor a do printf '%s\\0' \"$a\"; done >> \"$BMC_RECORD\"\n");
        fs::permissions(program_, fs::perms::owner_all);
        fs::create_directories(music_);
    }

    std::string Program() const { return program_; }
    std::string Music(const std::string& name) const { return music_ + name; }

    // The arguments the stand-in was started with since the last call.
    std::vector<std::string> TakeRecord() {
        std::vector<std::string> args;
        std::istringstream record(ReadTextFile(record_));
        for (std::string arg; std::getline(record, arg, '\0');) {
            args.push_back(arg);
        }
        fs::remove(record_);
        return args;
    }

    // What the program would hand over, started with these arguments.
    std::vector<std::string> HandedOver(std::vector<std::string> args) const {
        args.insert(args.begin(), Program());
        const StartRequest request = ReadStartRequest(args);
        EXPECT_EQ(request.mode, StartMode::HandOver);
        return request.paths;
    }

    int Install() {
        std::ostringstream out, err;
        const int status = RunCommandLineMode(Request(StartMode::Install), Program(), out, err);
        EXPECT_EQ(err.str(), "");
        return status;
    }

    UserHome user_;
    const std::string program_ = user_.Path() + "bin dir/it's \"q\" $HOME `x` \\ é/brindlex";
    const std::string music_ = user_.Path() + "Mü sic/";
    const std::string record_ = user_.Path() + "record";
    ScopedEnv recordEnv_{"BMC_RECORD", record_};
};

} // namespace

TEST_F(DesktopIntegrationTest, EveryFileManagerHandsOverEachChosenFileIntact) {
    ASSERT_EQ(Install(), 0);
    const std::vector<std::string> files{Music("a b.mp3"), Music("it's ü.WAV"),
                                         Music("$x `y` & (z).wma")};
    std::string quotedFiles;
    for (const std::string& file : files) {
        quotedFiles += " " + Quote(file);
    }

    // Open With and Dolphin: valid desktop files, run by GLib's launcher.
    for (const std::string desktop : {"applications/", "kio/servicemenus/"}) {
        const std::string path = user_.DataHome() + desktop + "brindlex-convert-to.desktop";
        EXPECT_EQ(RunAndReap("desktop-file-validate " + Quote(path)), 0) << path;
        EXPECT_EQ(RunAndReap("gio launch " + Quote(path) + quotedFiles), 0);
        EXPECT_EQ(HandedOver(TakeRecord()), files) << path;
    }
    EXPECT_TRUE(fs::status(user_.DataHome() + "kio/servicemenus/brindlex-convert-to.desktop")
                    .permissions() ==
                (fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                 fs::perms::others_read | fs::perms::others_exec));

    // Thunar: %F becomes the files quoted for the shell, %% a percent sign, run by /bin/sh.
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    int status = 0;
    std::string command = testtools::ShellOutput(
        "xmllint --xpath \"string(//action[unique-id='brindlex-convert-to']/command)\" " +
            Quote(uca),
        status);
    ASSERT_EQ(status, 0);
    command = Replace(Replace(command, "%F", quotedFiles), "%%", "%");
    EXPECT_EQ(RunAndReap("sh -c " + Quote(command)), 0);
    EXPECT_EQ(HandedOver(TakeRecord()), files);

    // Nemo: the Exec value splits, as GLib's shell parser splits it, into the program,
    // --hand-over and the code that Nemo replaces with the files, each in double quotes.
    const std::string nemo =
        ReadTextFile(user_.DataHome() + "nemo/actions/brindlex-convert-to.nemo_action");
    const std::string exec = Replace(KeyValue(nemo, "Exec"), "\\\\", "\\");
    EXPECT_EQ(RunAndReap("sh -c 'eval \"set -- $1\"; \"$0\" \"$@\"' " + Quote(Program()) + " " +
                         Quote(exec)),
              0);
    EXPECT_EQ(TakeRecord(), (std::vector<std::string>{Program(), "--hand-over", "%F"}));
    EXPECT_EQ(KeyValue(nemo, "Quote"), "double");

    // Dolphin and Nemo offer it on folders too, the program's opener of folders it does not become.
    EXPECT_TRUE(KeyValue(nemo, "Extensions").ends_with(";dir;"));
    const auto mimeTypes = [this](const std::string& path) {
        return KeyValue(ReadTextFile(user_.DataHome() + path), "MimeType");
    };
    EXPECT_TRUE(
        mimeTypes("kio/servicemenus/brindlex-convert-to.desktop").ends_with(";inode/directory;"));
    EXPECT_EQ(mimeTypes("applications/brindlex-convert-to.desktop").find("inode/"),
              std::string::npos);

    // Nautilus and Caja: the same script, which passes on the audio files only.
    const std::string script = user_.DataHome() + "nautilus/scripts/Convert To";
    EXPECT_EQ(ReadTextFile(script), ReadTextFile(user_.ConfigHome() + "caja/scripts/Convert To"));
    EXPECT_EQ(RunAndReap(Quote(script) + " " + Quote(files[0]) + " " + Quote(Music("notes.txt")) +
                         " " + Quote(files[1]) + " " + Quote(files[2])),
              0);
    EXPECT_EQ(HandedOver(TakeRecord()), files);

    // The store's verb too.
    EXPECT_EQ(StoreReadText(StoreRoot::FileTypes, "BrConvert\\shell\\Convert To\\Command", ""),
              "\"" + Program() + "\" <at>%1");
}

TEST_F(DesktopIntegrationTest, AgainChangesNothingAndOtherThunarActionsStayAsTheyWere) {
    // A user's own action, as Thunar writes them, and a comment.
    const std::string own = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
                            "\t<icon>utilities-terminal</icon>\n"
                            "\t<name>Open Terminal Here &amp; there \xC3\xBC</name>\n"
                            "\t<unique-id>1690000000000000-1</unique-id>\n"
                            "\t<command>exo-open --working-directory %f</command>\n"
                            "\t<patterns>*</patterns>\n\t<directories/>\n</action>\n"
                            "<!-- mine -->\n</actions>\n";
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    fs::create_directories(user_.ConfigHome() + "Thunar");
    WriteTextFile(uca, own);

    ASSERT_EQ(Install(), 0);
    const std::string merged = ReadTextFile(uca);
    EXPECT_TRUE(merged.starts_with(own.substr(0, own.rfind("</actions>")))) << merged;
    int status = 0;
    EXPECT_EQ(testtools::ShellOutput("xmllint --xpath 'count(//action)' " + Quote(uca), status),
              "2\n");

    // Nothing is rewritten the second time (times included), the store neither.
    const Snapshot first = Take(user_.Home());
    ASSERT_EQ(first.size(), 7u);
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(Take(user_.Home()), first);

    // Removing takes exactly what was added.
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLineMode(Request(StartMode::RemoveIntegration), Program(), out, err), 0);
    EXPECT_EQ(ReadTextFile(uca), own);
    EXPECT_EQ(Take(user_.Home()).size(), 2u) << "the Thunar actions and the store";
}

TEST_F(DesktopIntegrationTest, UninstallChangesNothing) {
    ASSERT_EQ(Install(), 0);
    const Snapshot installed = Take(user_.Home());
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLineMode(Request(StartMode::Uninstall), Program(), out, err), 0);
    EXPECT_EQ(Take(user_.Home()), installed);
    EXPECT_EQ(out.str() + err.str(), "");
}

TEST_F(DesktopIntegrationTest, FilesOfOthersAndUnreadableActionsAreLeftAlone) {
    const std::string script = user_.DataHome() + "nautilus/scripts/Convert To";
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    fs::create_directories(user_.DataHome() + "nautilus/scripts");
    fs::create_directories(user_.ConfigHome() + "Thunar");
    WriteTextFile(script, "#!/bin/sh\necho mine\n");
    WriteTextFile(uca, "<actions><action>");

    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLineMode(Request(StartMode::Install), Program(), out, err), 1);
    EXPECT_NE(err.str().find(uca), std::string::npos);
    EXPECT_EQ(ReadTextFile(script), "#!/bin/sh\necho mine\n");
    EXPECT_EQ(ReadTextFile(uca), "<actions><action>");

    EXPECT_EQ(RunCommandLineMode(Request(StartMode::RemoveIntegration), Program(), out, err), 1);
    EXPECT_EQ(ReadTextFile(script), "#!/bin/sh\necho mine\n");
    EXPECT_FALSE(fs::exists(user_.DataHome() + "applications/brindlex-convert-to.desktop"));
}

TEST_F(DesktopIntegrationTest, AProgramPathAFormatCannotCarryFailsOnlyThere) {
    const auto outcomes = [&](const std::string& program) {
        std::vector<IntegrationStep::Outcome> result;
        for (const IntegrationStep& step :
             DesktopIntegration(program, XdgFolders::FromEnvironment()).Install()) {
            result.push_back(step.outcome);
        }
        return result;
    };
    using S = IntegrationStep;
    // Nemo has no literal percent sign; the desktop files double it.
    EXPECT_EQ(outcomes("/opt/100%F/brindlex"),
              (std::vector{S::Written, S::Written, S::Failed, S::Written, S::Written, S::Written}));
    const std::string entry = user_.DataHome() + "applications/brindlex-convert-to.desktop";
    EXPECT_NE(ReadTextFile(entry).find("100%%F"), std::string::npos);
    EXPECT_EQ(RunAndReap("desktop-file-validate " + Quote(entry)), 0);
    // Desktop files and XML are UTF-8; a shell script takes any path.
    EXPECT_EQ(outcomes("/opt/\xFF/brindlex"),
              (std::vector{S::Failed, S::Failed, S::Failed, S::Written, S::Written, S::Failed}));
}

namespace {
// A user's own action in a uca.xml written by hand or by some Thunar version.
std::string OwnAction(const std::string& name, const std::string& eol = "\n") {
    return "<action>" + eol + "\t<icon>utilities-terminal</icon>" + eol + "\t<name>" + name +
           "</name>" + eol + "\t<unique-id>1690000000000000-1</unique-id>" + eol +
           "\t<command>exo-open --working-directory %f</command>" + eol +
           "\t<patterns>*</patterns>" + eol + "\t<directories/>" + eol + "</action>" + eol;
}

// What xmllint, which we did not write, finds in a uca.xml: the number of actions and our
// command; "" when it cannot parse the file.
std::string XmllintView(const std::string& uca) {
    int status = 0;
    const std::string view =
        testtools::ShellOutput("xmllint --xpath \"concat(count(//action), ' ', "
                               "//action[unique-id='brindlex-convert-to']/command)\" " +
                                   Quote(uca) + " 2>/dev/null",
                               status);
    return status == 0 ? view : "";
}

int RemoveIntegration(const std::string& program, std::string* out = nullptr) {
    std::ostringstream text, err;
    const int status =
        RunCommandLineMode(Request(StartMode::RemoveIntegration), program, text, err);
    if (out) {
        *out = text.str() + err.str();
    }
    return status;
}
} // namespace

// Whatever form the user's uca.xml has, installing adds our action and nothing else, and removing
// gives back every byte.
TEST_F(DesktopIntegrationTest, UcaXmlComesBackByteForByteInEveryForm) {
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string crlf = "\r\n";
    struct Form {
        const char* name;
        std::string text;
        bool xmlValid; // xmllint reads it as it is
    };
    const Form forms[] = {
        {"legacy declaration",
         "<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions>\n" + OwnAction("Mine") +
             "</actions>\n",
         false},
        {"character references",
         declaration + "<actions>\n" + OwnAction("Caf&#233; &#x263A; &amp; &lt;x&gt;") +
             "</actions>\n",
         true},
        {"ISO-8859-1",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<actions>\n" +
             OwnAction("Caf\xE9 \xFC") + "</actions>\n",
         true},
        {"byte-order mark",
         "\xEF\xBB\xBF" + declaration + "<actions>\n" + OwnAction("Mine") + "</actions>\n", true},
        {"CRLF",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<actions>\r\n" + OwnAction("Mine", crlf) +
             "</actions>\r\n",
         true},
        {"<actions/>", declaration + "<actions/>\n", true},
        {"<actions />, no line break", "<actions />", true},
        {"one line, comments", declaration + "<!-- a --><actions><!-- b --></actions><!-- c -->",
         true},
        {"empty file", "", false},
    };
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    fs::create_directories(user_.ConfigHome() + "Thunar");
    std::string command;
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        WriteTextFile(uca, form.text);
        ASSERT_EQ(Install(), 0);
        const std::string installed = ReadTextFile(uca);
        const std::size_t end = form.text.rfind("</actions>");
        if (end != std::string::npos) {
            // Our action goes in before the end tag; every byte around it stays.
            EXPECT_TRUE(installed.starts_with(form.text.substr(0, end)));
            EXPECT_TRUE(installed.ends_with(form.text.substr(end)));
        }
        const std::string view = XmllintView(uca);
        if (form.xmlValid || form.text.empty()) {
            const std::string actions = form.text.find("<action>") == std::string::npos ? "1" : "2";
            ASSERT_TRUE(view.starts_with(actions + " ")) << view << "\n" << installed;
            // The same command, whether written as UTF-8 or as character references.
            if (command.empty()) {
                command = view.substr(2);
            }
            EXPECT_EQ(view.substr(2), command);
        }
        ASSERT_EQ(RemoveIntegration(Program()), 0);
        EXPECT_EQ(ReadTextFile(uca), form.text) << installed;
    }
    EXPECT_NE(command.find("brindlex"), std::string::npos);
}

// Without a uca.xml of the user's, Thunar reads the system's; the install starts the user's as a
// copy of it, and removal takes the copy away again unless something else changed it meanwhile.
TEST_F(DesktopIntegrationTest, ACopyOfTheSystemsUcaXmlOrAFileOfOursAloneIsRemovedAgain) {
    const std::string uca = user_.ConfigHome() + "Thunar/uca.xml";
    const std::string system = user_.Path() + "etc/xdg/Thunar/uca.xml";
    fs::create_directories(user_.Path() + "etc/xdg/Thunar");
    const std::string systemText = "<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions>\n" +
                                   OwnAction("System's") + "</actions>\n";
    WriteTextFile(system, systemText);

    ASSERT_EQ(Install(), 0);
    EXPECT_TRUE(ReadTextFile(uca).starts_with(systemText.substr(0, systemText.rfind("</"))));
    std::string said;
    ASSERT_EQ(RemoveIntegration(Program(), &said), 0);
    EXPECT_FALSE(fs::exists(uca)) << said;
    EXPECT_EQ(ReadTextFile(system), systemText);

    // A copy the user has changed since stays, without our action.
    ASSERT_EQ(Install(), 0);
    std::string changed = ReadTextFile(uca);
    changed.insert(changed.find("<action>"), OwnAction("Added later"));
    WriteTextFile(uca, changed);
    ASSERT_EQ(RemoveIntegration(Program()), 0);
    EXPECT_EQ(ReadTextFile(uca), "<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions>\n" +
                                     OwnAction("Added later") + OwnAction("System's") +
                                     "</actions>\n");

    // With no uca.xml anywhere, the file the install made goes with our action.
    fs::remove(uca);
    fs::remove(system);
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(XmllintView(uca).substr(0, 2), "1 ");
    ASSERT_EQ(RemoveIntegration(Program()), 0);
    EXPECT_FALSE(fs::exists(uca));
    EXPECT_TRUE(fs::exists(user_.ConfigHome() + "Thunar"));
}

// A symbolic link to nothing, or a FIFO, at a path the install writes is the user's: left as it
// is, and said. Reading a FIFO would wait for a writer forever: the alarm ends a hang.
TEST_F(DesktopIntegrationTest, LinksToNothingAndFifosAreLeftAloneAndReported) {
    const std::vector<std::string> paths{
        user_.DataHome() + "applications/brindlex-convert-to.desktop",
        user_.DataHome() + "kio/servicemenus/brindlex-convert-to.desktop",
        user_.DataHome() + "nemo/actions/brindlex-convert-to.nemo_action",
        user_.DataHome() + "nautilus/scripts/Convert To",
        user_.ConfigHome() + "caja/scripts/Convert To",
        user_.ConfigHome() + "Thunar/uca.xml",
    };
    const std::string nowhere = user_.Path() + "nowhere/";
    for (const bool fifos : {false, true}) {
        SCOPED_TRACE(fifos ? "FIFOs" : "links to nothing");
        for (std::size_t i = 0; i < paths.size(); ++i) {
            fs::create_directories(fs::path(paths[i]).parent_path());
            fs::remove(paths[i]);
            if (fifos) {
                ASSERT_EQ(mkfifo(paths[i].c_str(), 0644), 0);
            } else {
                fs::create_symlink(nowhere + std::to_string(i), paths[i]);
            }
        }
        alarm(60);
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLineMode(Request(StartMode::Install), Program(), out, err), 1);
        std::string removal;
        EXPECT_EQ(RemoveIntegration(Program(), &removal), 0);
        alarm(0);
        const std::string what = fifos ? "not a regular file" : "a symbolic link to nothing";
        for (std::size_t i = 0; i + 1 < paths.size(); ++i) {
            EXPECT_NE(out.str().find("kept      " + paths[i] + " (" + what + ")"),
                      std::string::npos)
                << out.str();
            EXPECT_NE(removal.find("kept      " + paths[i] + " (" + what + ")"), std::string::npos)
                << removal;
        }
        EXPECT_NE(err.str().find("FAILED    " + paths.back() + " (" + what + "; left as it is)"),
                  std::string::npos)
            << err.str();
        for (const std::string& path : paths) {
            EXPECT_EQ(fs::symlink_status(path).type(),
                      fifos ? fs::file_type::fifo : fs::file_type::symlink);
        }
        EXPECT_FALSE(fs::exists(nowhere));
    }
}

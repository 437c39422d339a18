// RecordFile.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "TestFolder.h"
#include "system/FileRoutines.h"
#include "system/MessageHook.h"
#include "system/RecordFile.h"

namespace fs = std::filesystem;

namespace {
struct Shown {
    std::string text;
    std::string caption;
    bool operator==(const Shown&) const = default;
};

// Collects the messages shown while it lives.
class MessageRecorder {
public:
    MessageRecorder()
        : previous_(SetMessageBoxHook([this](const std::string& text, const std::string& caption) {
              shown.push_back({text, caption});
          })) {}
    ~MessageRecorder() { SetMessageBoxHook(previous_); }
    std::vector<Shown> shown;

private:
    MessageBoxHook previous_;
};
} // namespace

TEST(RecordFile, ReadingPastTheEndIsNoError) {
    TestFolder dir;
    WriteTextFile(dir / "WaveCompress.bin", std::string(100, 'w'));
    MessageRecorder messages;
    RecordFile file(dir / "WaveCompress.bin", RecordFile::faRead, RecordFile::fcOpenExisting, true);
    ASSERT_TRUE(file.IsOpen());
    std::vector<char> buffer(5096);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size(), RecordFile::fpCurrent), 100U);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size(), RecordFile::fpCurrent), 0U);
    EXPECT_EQ(file.Read(buffer.data(), 10, RecordFile::fpStart), 10U);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(RecordFile, WritesAndReadsAtTheChosenPosition) {
    TestFolder dir;
    const std::string path = dir / "f.bin";
    WriteTextFile(path, "old contents that must go");
    {
        RecordFile file(path, RecordFile::faWrite, RecordFile::fcCreateAlways, true);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("abc", 3, RecordFile::fpStart));
        EXPECT_TRUE(file.Write("def", 3, RecordFile::fpEnd));
        EXPECT_TRUE(file.Write("X", 1, RecordFile::fpStart));
        EXPECT_TRUE(file.Write("Y", 1, 7)); // any other mode: where it is
    }
    EXPECT_EQ(ReadTextFile(path), "XYcdef");
    RecordFile file(path, RecordFile::faRead, RecordFile::fcOpenExisting, true);
    char buffer[4] = {};
    EXPECT_EQ(file.Read(buffer, 2, RecordFile::fpEnd), 0U);
    EXPECT_EQ(file.Read(buffer, 3, RecordFile::fpStart), 3U);
    EXPECT_EQ(std::string(buffer, 3), "XYc");
    EXPECT_EQ(file.Read(buffer, 3, RecordFile::fpCurrent), 3U);
    EXPECT_EQ(std::string(buffer, 3), "def");
}

TEST(RecordFile, WritesBeyondFourGiB) {
    TestFolder dir;
    const std::string path = dir / "sparse.bin";
    const uint64_t size = 5ULL << 30; // sparse: no disk space used
    WriteTextFile(path, "");
    fs::resize_file(path, size);
    {
        RecordFile file(path, RecordFile::faWrite, RecordFile::fcOpenExisting, true);
        EXPECT_TRUE(file.Write("end", 3, RecordFile::fpEnd));
    }
    EXPECT_EQ(GetFileSizeOfName(path), size + 3);
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(size));
    std::string tail(3, '\0');
    in.read(tail.data(), 3);
    EXPECT_EQ(tail, "end");
}

TEST(RecordFile, TellsFailuresWithTheirCaptionsWhenAsked) {
    TestFolder dir;
    const std::string missing = dir / "missing/WaveCompress.bin";
    MessageRecorder messages;
    {
        RecordFile reading(missing, RecordFile::faRead, RecordFile::fcOpenExisting, true);
        EXPECT_FALSE(reading.IsOpen());
        char c;
        EXPECT_EQ(reading.Read(&c, 1, RecordFile::fpStart), 0U);
        RecordFile writing(missing, RecordFile::faWrite, RecordFile::fcCreateAlways, true);
        EXPECT_FALSE(writing.IsOpen());
        EXPECT_FALSE(writing.Write("x", 1, RecordFile::fpStart));
        RecordFile folder(dir.Path(), RecordFile::faRead, RecordFile::fcOpenExisting, true);
        EXPECT_FALSE(folder.IsOpen());
    }
    const std::vector<Shown> expected{
        {"Unable to open '" + missing + "'", "Disk Read Error"},
        {"Unable to read from '" + missing + "'", "Disk Read Error"},
        {"Unable to open '" + missing + "'", "Disk Write Error"},
        {"Unable to write to '" + missing + "'", "Disk Write Error"},
        {"Unable to open '" + dir.Path() + "'", "Disk Read Error"},
    };
    EXPECT_EQ(messages.shown, expected);
}

TEST(RecordFile, TellsReadAndWriteFailuresOfAnOpenFile) {
    // A regular file that refuses what is written to it: the kernel takes only numbers there.
    const std::string refusing = "/proc/self/oom_score_adj";
    MessageRecorder messages;
    {
        RecordFile full(refusing, RecordFile::faWrite, RecordFile::fcOpenExisting, true);
        ASSERT_TRUE(full.IsOpen());
        EXPECT_FALSE(full.Write("x", 1, RecordFile::fpCurrent));
        char c;
        EXPECT_EQ(full.Read(&c, 1, RecordFile::fpCurrent), 0U); // opened for writing only
    }
    const std::vector<Shown> expected{
        {"Unable to write to '" + refusing + "'", "Disk Write Error"},
        {"Unable to read from '" + refusing + "'", "Disk Read Error"},
    };
    EXPECT_EQ(messages.shown, expected);
}

// A FIFO (no writer: a read would wait forever; no reader: an open for writing would) or a device
// is not a file of records: it opens as nothing, said once on standard error, and stays as it is.
TEST(RecordFile, RefusesFifosAndDevicesAtOnceAndSaysSo) {
    TestFolder dir;
    const std::string fifo = dir / "WaveCompress.bin";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string device = dir / "device";
    ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
    MessageRecorder messages;
    testing::internal::CaptureStderr();
    for (const std::string& path : {fifo, device}) {
        for (const RecordFile::Access access :
             {RecordFile::faRead, RecordFile::faWrite, RecordFile::faReadWrite}) {
            for (const RecordFile::Creation creation :
                 {RecordFile::fcOpenExisting, RecordFile::fcCreateAlways}) {
                RecordFile file(path, access, creation, false);
                EXPECT_FALSE(file.IsOpen()) << path << " " << access << " " << creation;
            }
        }
    }
    const std::string err = testing::internal::GetCapturedStderr();
    for (const std::string& path : {fifo, device}) {
        const std::string line = ": " + path + " is not a regular file; left alone\n";
        EXPECT_NE(err.find(line), std::string::npos) << err;
        EXPECT_EQ(err.find(line), err.rfind(line)) << "said more than once";
    }
    EXPECT_TRUE(messages.shown.empty());
    struct stat st {};
    EXPECT_TRUE(stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST(RecordFile, StaysQuietWithMessagesOffAndUsesStandardErrorWithoutAHook) {
    TestFolder dir;
    {
        MessageRecorder messages;
        RecordFile quiet(dir / "missing", RecordFile::faRead, RecordFile::fcOpenExisting, false);
        EXPECT_FALSE(quiet.IsOpen());
        EXPECT_TRUE(messages.shown.empty());
    }
    const MessageBoxHook previous = SetMessageBoxHook(nullptr);
    testing::internal::CaptureStderr();
    RecordFile loud(dir / "missing", RecordFile::faRead, RecordFile::fcOpenExisting, true);
    const std::string err = testing::internal::GetCapturedStderr();
    SetMessageBoxHook(previous);
    EXPECT_NE(err.find("Disk Read Error"), std::string::npos) << err;
    EXPECT_NE(err.find("Unable to open '" + dir.Path() + "missing'"), std::string::npos) << err;
}

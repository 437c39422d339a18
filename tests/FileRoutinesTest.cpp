#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>

#include "TestFolder.h"
#include "system/FileRoutines.h"
#include "system/FolderScan.h"
#include "system/UniqueFd.h"

namespace fs = std::filesystem;

namespace {
// Runs a test body in another current folder and comes back.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& folder) : old_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~ScopedCwd() { fs::current_path(old_); }

private:
    fs::path old_;
};

std::map<std::string, bool> ListAll(FolderScan& find) {
    std::map<std::string, bool> entries;
    while (find.Next()) {
        entries[find.GetName()] = find.IsFolder();
    }
    return entries;
}
} // namespace

TEST(FolderScan, PatternsKnowOnlyStarAndQuestionMark) {
    EXPECT_TRUE(FolderScan::Matches("*.mp3", "a.mp3"));
    EXPECT_TRUE(FolderScan::Matches("*.mp3", ".mp3"));
    EXPECT_FALSE(FolderScan::Matches("*.mp3", "a.mp3x"));
    EXPECT_FALSE(FolderScan::Matches("*.mp3", "a.MP3")); // names are case-sensitive here
    EXPECT_TRUE(FolderScan::Matches("?.wav", "a.wav"));
    EXPECT_FALSE(FolderScan::Matches("?.wav", "ab.wav"));
    EXPECT_FALSE(FolderScan::Matches("?.wav", ".wav"));
    // Brackets and backslashes are ordinary characters in names.
    EXPECT_TRUE(FolderScan::Matches("song [live].mp3", "song [live].mp3"));
    EXPECT_FALSE(FolderScan::Matches("song [live].mp3", "song l.mp3"));
    EXPECT_TRUE(FolderScan::Matches("a\\*b", "a\\xyzb"));
    EXPECT_FALSE(FolderScan::Matches("a\\*b", "a*b"));
    EXPECT_TRUE(FolderScan::Matches("[*", "[abc"));
    // "*.*" lists everything, including names without a dot and hidden names.
    EXPECT_TRUE(FolderScan::Matches("*.*", "README"));
    EXPECT_TRUE(FolderScan::Matches("*.*", ".hidden"));
    EXPECT_TRUE(FolderScan::Matches("*", ".hidden"));
    EXPECT_TRUE(FolderScan::Matches("track.*", "track"));
    EXPECT_FALSE(FolderScan::Matches("track.*", "tracks"));
    EXPECT_FALSE(FolderScan::Matches("", "a"));
}

TEST(FolderScan, ListsEntriesWithoutDotsAndTellsFolders) {
    TestFolder dir;
    WriteTextFile(dir / "a.wav", "x");
    WriteTextFile(dir / "README", "x");
    WriteTextFile(dir / ".hidden", "x");
    fs::create_directory(dir / "sub");
    fs::create_directory_symlink(dir / "sub", dir / "link-to-sub");
    fs::create_symlink(dir / "gone", dir / "dangling");

    // The folder is given without its trailing separator: one is added.
    std::string folder = dir.Path();
    folder.pop_back();
    FolderScan all("*.*", folder);
    const std::map<std::string, bool> expected{{"a.wav", false},      {"README", false},
                                               {".hidden", false},    {"sub", true},
                                               {"link-to-sub", true}, {"dangling", false}};
    EXPECT_EQ(ListAll(all), expected);

    FolderScan one("a.*", folder);
    ASSERT_TRUE(one.Next());
    EXPECT_EQ(one.GetFullPath(), dir / "a.wav");
    EXPECT_FALSE(one.Next());
    EXPECT_FALSE(one.Next());
    EXPECT_FALSE(one.IsFolder());

    FolderScan missing("*", dir / "missing");
    EXPECT_FALSE(missing.Next());
    FolderScan notAFolder("*", dir / "a.wav");
    EXPECT_FALSE(notAFolder.Next());
}

TEST(FileExists, FindsFilesFoldersAndWildcardsButNotDots) {
    TestFolder dir;
    WriteTextFile(dir / "song.wav", "x");
    fs::create_directory(dir / "Album");
    bool isFolder = true;
    EXPECT_TRUE(FileExists(dir / "song.wav", &isFolder));
    EXPECT_FALSE(isFolder);
    EXPECT_TRUE(FileExists(dir / "Album", &isFolder));
    EXPECT_TRUE(isFolder);
    EXPECT_FALSE(FileExists(dir / "album"));             // exact comparison
    EXPECT_FALSE(FileExists(dir / "Album/", &isFolder)); // no name part
    EXPECT_FALSE(isFolder);
    EXPECT_TRUE(FileExists(dir / "*.wav"));
    EXPECT_TRUE(FileExists(dir / "s?ng.*"));
    EXPECT_FALSE(FileExists(dir / "*.flac"));
    EXPECT_FALSE(FileExists(dir / "."));
    EXPECT_FALSE(FileExists(dir / ".."));
    EXPECT_FALSE(FileExists(dir / "missing/song.wav"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/"));
    EXPECT_TRUE(FileExists(dir / "Album/../song.wav"));
}

TEST(FileExists, LooksForABareNameInTheCurrentFolder) {
    TestFolder dir;
    WriteTextFile(dir / "bare.mp3", "x");
    ScopedCwd cwd(dir.Path());
    EXPECT_TRUE(FileExists("bare.mp3"));
    EXPECT_FALSE(FileExists("other.mp3"));
}

TEST(FileSize, ReadsSizesBeyondFourGiBWithoutData) {
    TestFolder dir;
    const std::string path = dir / "big.wav";
    const uint64_t size = (5ULL << 30) + 3; // sparse: no disk space used
    {
        UniqueFd fd(open(path.c_str(), O_CREAT | O_WRONLY, 0644));
        ASSERT_EQ(ftruncate(fd.Get(), static_cast<off_t>(size)), 0);
    }
    bool failed = true;
    EXPECT_EQ(GetFileSizeOfName(path, &failed), size);
    EXPECT_FALSE(failed);
    {
        UniqueFd fd(open(path.c_str(), O_RDONLY));
        failed = true;
        EXPECT_EQ(GetFileSizeOfHandle(fd.Get(), &failed), size);
        EXPECT_FALSE(failed);
    }
    EXPECT_EQ(GetFileSizeOfHandle(-1, &failed), 0U);
    EXPECT_TRUE(failed);
    EXPECT_EQ(GetFileSizeOfName(dir / "missing", &failed), 0U);
    EXPECT_TRUE(failed);
    // A folder cannot be opened as a file.
    EXPECT_EQ(GetFileSizeOfName(dir.Path(), &failed), 0U);
    EXPECT_TRUE(failed);
    EXPECT_EQ(GetFileSizeOfName(""), 0U);
}

TEST(CreateFolderPath, CreatesEachMissingFolderAndNothingMore) {
    TestFolder dir;
    EXPECT_TRUE(CreateFolderPath(dir / "A/B/"));
    EXPECT_TRUE(fs::is_directory(dir / "A/B"));
    std::set<std::string> created;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        created.insert(entry.path().lexically_relative(dir.Path()).string());
    }
    EXPECT_EQ(created, (std::set<std::string>{"A", "A/B"}));

    EXPECT_TRUE(CreateFolderPath(dir / "A/B/C")); // part of it exists
    EXPECT_TRUE(fs::is_directory(dir / "A/B/C"));
    EXPECT_TRUE(CreateFolderPath(dir / "A//D"));
    EXPECT_TRUE(fs::is_directory(dir / "A/D"));
    EXPECT_TRUE(CreateFolderPath("/"));
    EXPECT_FALSE(CreateFolderPath(""));

    WriteTextFile(dir / "file", "x");
    EXPECT_FALSE(CreateFolderPath(dir / "file/sub"));
}

TEST(CreateFolderPath, CreatesTheFirstFolderOfARelativePath) {
    TestFolder dir;
    ScopedCwd cwd(dir.Path());
    EXPECT_TRUE(CreateFolderPath("rel/inner"));
    EXPECT_TRUE(fs::is_directory(dir / "rel/inner"));
}

// Tags written through the descriptor of an unnamed file (O_TMPFILE), as a conversion writes its
// output before linking it in: each output kind, a picture too large to edit in memory, and writes
// that cannot happen. Checked with mutagen, ffmpeg and the file's bytes.
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "CliTestSupport.h"
#include "TagTestSupport.h"
#include "formats/mp3/Mp3Tags.h"
#include "formats/wave/WaveTags.h"
#include "formats/wma/WmaTags.h"
#include "system/UniqueFd.h"
#include "tags/CopyAudioTags.h"
#include "tags/ReadAudioTags.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// An unnamed file in folder holding the bytes of the file at path.
UniqueFd UnnamedCopy(const std::string& folder, const std::string& path) {
    UniqueFd file(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644));
    const std::string bytes = ReadTextFile(path);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(pwrite(file.Get(), bytes.data(), bytes.size(), 0),
              static_cast<ssize_t>(bytes.size()));
    return file;
}

// Gives the unnamed file the name path, as the engine links in a finished output.
void Link(const UniqueFd& file, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
    ASSERT_EQ(linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW), 0);
}

std::string BytesOf(const UniqueFd& file) {
    std::string bytes(static_cast<size_t>(lseek(file.Get(), 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(file.Get(), bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    return bytes;
}

std::string DecodedAudio(const std::string& path) {
    // Fatal only: ffmpeg also tries to decode the pictures, which need not be images here.
    return Shell("ffmpeg -v fatal -i " + Quote(path) + " -map 0:a -f s16le - | md5sum");
}

struct Output {
    const char* name;
    const TagFormat& kind;
    std::string make; // the command that makes it from "$in", a one-second WAVE
    std::string title;
};

// Each kind, made by a tool we did not write.
const std::vector<Output> Outputs = {
    {"plain.wav", WaveTags, "sox \"$in\" \"$out\"", "TIT2=Sunrise Song"},
    {"plain.mp3", Mp3Tags, "lame --quiet -b 128 \"$in\" \"$out\"", "TIT2=Sunrise Song"},
    {"plain.wma", WmaTags, "ffmpeg -v error -i \"$in\" -c:a wmav2 \"$out\"", "Title=Sunrise Song"},
};

std::string Make(const Output& output, const std::string& in, const std::string& out) {
    Shell("in=" + Quote(in) + " out=" + Quote(out) + "; " + output.make);
    EXPECT_TRUE(fs::exists(out)) << output.name;
    return out;
}

// A tmpfs of one MiB mounted at a new folder of dir while it lives; needs root.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const TestFolder& dir) : path_(dir / "tmpfs") {
        fs::create_directory(path_);
        mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallTmpfs() {
        if (mounted_) {
            umount2(path_.c_str(), MNT_DETACH);
        }
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Path() const { return path_; }

    // Fills what is left of it with a file; removing that file frees the room again.
    void Fill() const {
        const UniqueFd filler(open((path_ + "/filler").c_str(), O_WRONLY | O_CREAT, 0644));
        const std::string block(4096, 'x');
        while (write(filler.Get(), block.data(), block.size()) > 0) {
        }
    }

private:
    std::string path_;
    bool mounted_ = false;
};

class CopyAudioTagsTest : public ::testing::Test {
protected:
    TestFolder dir;
    std::vector<tagtest::PictureFile> pictures;
    std::string song = tagtest::SongWithThreePictures(dir.Path() + "in", pictures);
    std::string tone = dir / "in/tone.wav";
    AudioTags tags = ReadAudioTagsOfFile(song);

    void SetUp() override { ASSERT_EQ(tags.pictures.size(), 3u); }
};
} // namespace

TEST_F(CopyAudioTagsTest, TagsAndEveryPictureGoIntoAnUnnamedFileOfEachKind) {
    for (const Output& output : Outputs) {
        SCOPED_TRACE(output.name);
        const std::string folder = dir / ("out" + fs::path(output.name).extension().string());
        fs::create_directory(folder);
        const std::string plain = Make(output, tone, dir / output.name);
        const UniqueFd file = UnnamedCopy(folder, plain);
        ASSERT_TRUE(CopyAudioTags(tags, file.Get(), output.kind));
        const std::string name = "tagged" + fs::path(output.name).extension().string();
        Link(file, folder + "/" + name);

        EXPECT_EQ(SortedNames(folder), std::vector<std::string>{name});
        const std::string tagged = folder + "/" + name;
        EXPECT_NE(Shell("mutagen-inspect " + Quote(tagged)).find(output.title), std::string::npos);
        EXPECT_EQ(tagtest::Pictures(tagged), tagtest::PictureLines(pictures));
        EXPECT_EQ(DecodedAudio(tagged), DecodedAudio(plain));
    }
}

TEST_F(CopyAudioTagsTest, APictureOverEightMegabytesGoesInWithoutAnyOtherFile) {
    const std::string tone60 = SoxTone(dir / "in/long.wav", 60);
    const std::string bigPicture = dir / "in/big.png";
    Shell("head -c 9M /dev/urandom >" + Quote(bigPicture));
    const std::string bytes = ReadTextFile(bigPicture);
    AudioTags big;
    big.fields.insert("TITLE", TagLib::StringList("Long"));
    big.pictures.push_back({3, "image/png", "Big", TagLib::ByteVector(bytes.data(), bytes.size())});
    // The WAVE output itself is over 8 MB; the MP3 output's audio moves behind the tag.
    for (const Output& output : {Outputs[0], Outputs[1]}) {
        SCOPED_TRACE(output.name);
        const std::string folder = dir / ("out" + fs::path(output.name).extension().string());
        fs::create_directory(folder);
        const std::string plain = Make(output, tone60, dir / output.name);
        const UniqueFd file = UnnamedCopy(folder, plain);
        ASSERT_TRUE(CopyAudioTags(big, file.Get(), output.kind));
        EXPECT_TRUE(SortedNames(folder).empty());
        const std::string tagged = folder + "/tagged" + fs::path(output.name).extension().string();
        Link(file, tagged);

        EXPECT_GT(fs::file_size(tagged), 9u << 20);
        EXPECT_NE(Shell("mutagen-inspect " + Quote(tagged)).find("TIT2=Long"), std::string::npos);
        EXPECT_EQ(tagtest::Pictures(tagged),
                  tagtest::PictureLines({{3, "image/png", "Big", bigPicture}}));
        EXPECT_EQ(DecodedAudio(tagged), DecodedAudio(plain));
    }
}

TEST_F(CopyAudioTagsTest, TagsThatCannotBeWrittenLeaveEveryByteAsItWas) {
    // A descriptor open for reading only.
    const std::string plain = Make(Outputs[1], tone, dir / "plain.mp3");
    const std::string bytes = ReadTextFile(plain);
    {
        const UniqueFd readOnly(open(plain.c_str(), O_RDONLY));
        EXPECT_FALSE(CopyAudioTags(tags, readOnly.Get(), Mp3Tags));
        EXPECT_TRUE(ReadTextFile(plain) == bytes);
    }

    // A full disk, whether the tags go at the start (MP3, WMA) or the end (WAVE).
    const SmallTmpfs disk(dir);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    for (const Output& output : Outputs) {
        SCOPED_TRACE(output.name);
        const std::string made = Make(output, tone, dir / output.name);
        const UniqueFd file = UnnamedCopy(disk.Path(), made);
        disk.Fill();
        EXPECT_FALSE(CopyAudioTags(tags, file.Get(), output.kind));
        EXPECT_TRUE(BytesOf(file) == ReadTextFile(made));

        // With room again the same call succeeds.
        fs::remove(disk.Path() + "/filler");
        EXPECT_TRUE(CopyAudioTags(tags, file.Get(), output.kind));
        const std::string tagged =
            disk.Path() + "/tagged" + fs::path(output.name).extension().string();
        Link(file, tagged);
        EXPECT_EQ(tagtest::Pictures(tagged), tagtest::PictureLines(pictures));
        fs::remove(tagged);
    }
}

TEST(AudioTags, ATargetOfOnePictureGetsTheFrontCoverOrElseTheFirst) {
    AudioTags tags;
    EXPECT_EQ(tags.MainPicture(), nullptr);
    tags.pictures = {{0, "image/jpeg", "a", {}}, {4, "image/png", "b", {}}};
    EXPECT_EQ(tags.MainPicture(), &tags.pictures[0]);
    tags.pictures.push_back({3, "image/png", "c", {}});
    EXPECT_EQ(tags.MainPicture(), &tags.pictures[2]);
}

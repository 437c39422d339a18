// Covers a player can show, as brindlex-convert writes them on every target: a large front cover
// scaled down to a JPEG, a small one carried as it came, the folder's picture for an input without
// a front cover, and pictures that cannot be used left out with a line while the audio is
// converted. Checked with ffprobe, ffmpeg, ImageMagick and flac's tools.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "system/SettingsStore.h"

using namespace clitest;
namespace fs = std::filesystem;

namespace {
// "mjpeg,600,400": each attached picture of the file as ffprobe reads it; empty without one.
std::string Pictures(const std::string& path) {
    return Shell("ffprobe -v error -select_streams v -show_entries stream=codec_name,width,height "
                 "-of csv=p=0 " +
                 Quote(path));
}

std::string PictureMd5(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) +
                 " -map 0:v -c copy -f image2pipe - | md5sum");
}

std::string FileMd5(const std::string& path) {
    return Shell("md5sum < " + Quote(path));
}

// The picture at path with the size its header gives replaced: the SOF0 segment of a JPEG file
// or the IHDR chunk of a PNG file. The data stay those of the small picture.
void ForgeSize(const std::string& path, std::size_t sizeAt, int bytes) {
    std::string data = ReadTextFile(path);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < bytes; ++i) {
            data[sizeAt + side * bytes + i] =
                static_cast<char>((20000 >> 8 * (bytes - 1 - i)) & 0xff);
        }
    }
    WriteTextFile(path, data);
}

class CliCovers : public ::testing::Test {
protected:
    ConfigHome config;
    TestFolder dir;

    // ffmpeg's test pattern, as a JPEG or PNG file by its name.
    std::string Image(const std::string& name, const std::string& size) {
        fs::create_directories(fs::path(dir / name).parent_path());
        Shell("ffmpeg -v error -f lavfi -i testsrc=size=" + size + " -frames:v 1 " +
              Quote(dir / name));
        return dir / name;
    }

    // A 0.5 s FLAC file, with the picture metaflac's --import-picture-from argument names, if any.
    std::string Flac(const std::string& name, const std::string& picture = "") {
        const std::string path = SoxTone(dir / name, 0.5);
        if (!picture.empty()) {
            Shell("metaflac --import-picture-from=" + Quote(picture) + " " + Quote(path));
        }
        return path;
    }
};
} // namespace

TEST_F(CliCovers, ALargeFrontCoverIsScaledToAJpegAndASmallOneKeptOnEveryTarget) {
    const std::string large = Image("art/large.jpg", "3000x2000");
    const std::string small = Image("art/small.png", "300x200");
    const std::string a = Flac("a.flac", "3|image/jpeg|||" + large);
    const std::string b = Flac("b.flac", "3|image/png|||" + small);
    const std::pair<const char*, const char*> targets[] = {
        {"wav", "wav"},   {"mp3", "mp3"}, {"wma", "wma"}, {"flac", "flac"},
        {"opus", "opus"}, {"ogg", "ogg"}, {"m4a", "m4a"}, {"alac", "m4a"}};
    for (const auto& [target, extension] : targets) {
        SCOPED_TRACE(target);
        const std::string out = dir / ("out-" + std::string(target)) + "/";
        const Outcome o =
            Convert(dir, {"--to", target, "-o", out, "-j", "2", "--cover-size", "600", a, b});
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(Pictures(out + "a." + extension), "mjpeg,600,400");
        EXPECT_EQ(PictureMd5(out + "b." + extension), FileMd5(small));
    }
    // A baseline JPEG of quality 90, as ImageMagick reads its quantization tables.
    EXPECT_EQ(Shell("ffmpeg -v error -i " + Quote(dir / "out-flac/a.flac") +
                    " -map 0:v -c copy -f image2pipe - | identify -format '%[interlace] %Q' -"),
              "None 90");
}

TEST_F(CliCovers, AnInputWithoutAFrontCoverTakesItsFoldersPictureInAnyLetterCase) {
    const std::string folderCover = Image("album/Folder.JPG", "320x240");
    Image("album/FRONT.jpg", "100x100");
    const std::string own = Image("album/own.png", "64x64");
    const std::string a = Flac("album/a.flac");
    const std::string b = Flac("album/b.flac", "3|image/png|||" + own);
    const Outcome o = Convert(dir, {"--to", "mp3", "-o", dir / "out", "-j", "2", "--cover-file",
                                    "cover.jpg,folder.jpg,front.jpg", a, b});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(PictureMd5(dir / "out/a.mp3"), FileMd5(folderCover));
    EXPECT_EQ(PictureMd5(dir / "out/b.mp3"), FileMd5(own));

    // The window's choices, stored: its folder cover looks for the usual names, fitted to its size.
    StoreWriteNumber(1, StoreRoot::User, SettingsKey, "BrConvFolderCover");
    StoreWriteNumber(100, StoreRoot::User, SettingsKey, "BrConvCoverSize");
    const Outcome stored = Convert(dir, {"--to", "mp3", "-o", dir / "stored", a});
    EXPECT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_EQ(Pictures(dir / "stored/a.mp3"), "mjpeg,100,75");
}

TEST_F(CliCovers, DamagedOrHugePicturesAreLeftOutWithALineAndTheAudioIsConverted) {
    // Bytes that are no picture, as the folder's cover.
    const std::string junk = Flac("junk/x.flac");
    WriteTextFile(dir / "junk/cover.jpg", std::string(4000, '\x5a'));
    // A JPEG and a PNG header of 20,000 x 20,000 pixels: refused before any byte is decoded.
    const std::string huge = Image("huge.jpg", "64x64");
    ForgeSize(huge, ReadTextFile(huge).find("\xff\xc0") + 5, 2);
    const std::string hugeFront = Flac("h.flac", "3|image/jpeg||64x64x24|" + huge);
    ForgeSize(Image("bomb/cover.png", "64x64"), 16, 4);
    const std::string bomb = Flac("bomb/y.flac");
    // A JPEG cut short after its header.
    const std::string cut = Image("cut.jpg", "3000x2000");
    fs::resize_file(cut, fs::file_size(cut) / 3);
    const std::string cutFront = Flac("c.flac", "3|image/jpeg|||" + cut);

    const Outcome o =
        Convert(dir, {"--to", "mp3", "-o", dir / "out", "-j", "2", "--cover-size", "600",
                      "--cover-file", "cover.jpg,cover.png", junk, hugeFront, bomb, cutFront});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.out.find("4 converted, 0 failed, 0 skipped"), std::string::npos) << o.out;
    const std::string damaged = "' was left out: it is damaged or not a JPEG or PNG picture.\n";
    const std::string tooLarge =
        "' was left out: at 20000 x 20000 pixels it is too large to read.\n";
    for (const std::string& line : {"The cover picture '" + dir / "junk/cover.jpg" + damaged,
                                    "The front cover of '" + hugeFront + tooLarge,
                                    "The cover picture '" + dir / "bomb/cover.png" + tooLarge,
                                    "The front cover of '" + cutFront + damaged}) {
        EXPECT_NE(o.err.find(line), std::string::npos) << line << o.err;
    }
    for (const std::string output : {"x.mp3", "h.mp3", "y.mp3", "c.mp3"}) {
        EXPECT_EQ(Probe(dir / ("out/" + output), "codec_name"), "mp3") << output;
        EXPECT_EQ(Pictures(dir / ("out/" + output)), "") << output;
    }
}

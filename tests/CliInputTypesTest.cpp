// --from: the input types collected from folders, named by their extensions as the window's
// "Convert [From]" boxes name them; files named alone count whatever their type.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace clitest;

TEST(CliInputTypes, FromCollectsOnlyThoseTypesFromFolders) {
    ConfigHome config;
    TestFolder dir;
    const std::string tone = SoxTone(dir / "in/b.wav", 0.2);
    Shell("sox -q " + Quote(tone) + " " + Quote(dir / "in/a.flac"));
    Shell("ffmpeg -v error -i " + Quote(tone) + " " + Quote(dir / "in/c.mp3"));
    Shell("mkdir " + Quote(dir / "alone") + " && ffmpeg -v error -i " + Quote(tone) + " " +
          Quote(dir / "alone/d.mp3"));
    const Outcome o = Convert(
        dir, {"--list", "--to", "ogg", "--from", "flac,WAV", dir / "in", dir / "alone/d.mp3"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, dir / "in/a.flac" + "\t" + dir / "in/a.ogg" + "\n" + dir / "in/b.wav" + "\t" +
                         dir / "in/b.ogg" + "\n" + dir / "alone/d.mp3" + "\t" +
                         dir / "alone/d.ogg" + "\n");

    const Outcome unknown = Convert(dir, {"--to", "ogg", "--from", "wav,aiff", dir / "in"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("--from takes flac, m4a, mp3, oga, ogg, opus, wav, wma, not 'aiff'"),
              std::string::npos)
        << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "in/b.ogg"));
}

// The digests a mirror compares, on files made by the reference tools.
#include <gtest/gtest.h>

#include "TestFolder.h"
#include "mirror/DecodeAudio.h"
#include "mirror/FileDigest.h"
#include "mirror/SourceDigests.h"
#include "system/CodecModules.h"

namespace {
using testtools::Quote;
using testtools::Shell;

struct Environment {
    CodecModules codecs{std::vector<std::string>{std::string(BMC_CODEC_DIR) + "/"}};
    JobEnvironment environment{codecs, ::pread, ""};
};

std::string Hex(const Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}
} // namespace

TEST(MirrorDigests, AudioDigestIgnoresTagsAndContainer) {
    TestFolder folder;
    Environment env;
    const std::string wav = folder / "tone.wav";
    const std::string flac = folder / "tone.flac";
    const std::string plain = folder / "plain.flac";
    Shell("sox -n -r 44100 -c 2 -b 16 " + Quote(wav) + " synth 2 sine 440 sine 660");
    Shell("flac -s -o " + Quote(flac) + " " + Quote(wav) + " && flac -s --no-md5-sum -o " +
          Quote(plain) + " " + Quote(wav));

    SourceDigests before(flac, env.environment);
    const std::optional<Digest> audio = before.Audio();
    const std::optional<Digest> tags = before.Tags();
    ASSERT_TRUE(audio && tags);
    EXPECT_EQ(SourceDigests::FlacSignature(flac), audio);
    Shell("metaflac --set-tag=TITLE=Retitled " + Quote(flac));
    SourceDigests after(flac, env.environment);
    EXPECT_EQ(after.Audio(), audio);
    EXPECT_NE(after.Tags(), tags);

    // Without the MD5 the samples themselves are digested: alike in every container.
    EXPECT_FALSE(SourceDigests::FlacSignature(plain));
    SourceDigests decoded(plain, env.environment);
    ASSERT_TRUE(decoded.Audio());
    EXPECT_EQ(decoded.Audio(), SourceDigests(wav, env.environment).Audio());
    Shell("sox " + Quote(wav) + " " + Quote(wav + ".louder.wav") + " vol 0.5");
    EXPECT_NE(decoded.Audio(), SourceDigests(wav + ".louder.wav", env.environment).Audio());
    EXPECT_FALSE(SourceDigests(folder / "missing.flac", env.environment).Audio());
}

TEST(MirrorDigests, OutputDigestAndAdoptedLength) {
    TestFolder folder;
    Environment env;
    const std::string wav = folder / "tone.wav";
    const std::string opus = folder / "tone.opus";
    Shell("sox -n -r 48000 -c 1 -b 16 " + Quote(wav) + " synth 3 sine 440");
    Shell("opusenc --quiet " + Quote(wav) + " " + Quote(opus));
    const std::optional<Digest> digest = FileDigest(opus);
    ASSERT_TRUE(digest);
    EXPECT_EQ(Hex(*digest) + "\n", Shell("sha256sum <" + Quote(opus) + " | cut -d' ' -f1"));
    EXPECT_FALSE(FileDigest(folder.Path()));

    const std::optional<DecodedAudio> source = DecodeAudio(wav, env.environment);
    const std::optional<DecodedAudio> output = DecodeAudio(opus, env.environment);
    ASSERT_TRUE(source && output);
    EXPECT_TRUE(SameLength(*source, *output));
    Shell("sox " + Quote(wav) + " " + Quote(folder / "short.wav") + " trim 0 2.5");
    EXPECT_FALSE(SameLength(*DecodeAudio(folder / "short.wav", env.environment), *output));
}

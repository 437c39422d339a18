// Edits made against a view of a file and then written into it in place: random sequences of the
// edits TagLib makes, checked against the same edits on TagLib's own stream in memory, and writes
// that fail partway, which must leave the file as it was.
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include <taglib/tbytevectorstream.h>

#include "TestFolder.h"
#include "system/UniqueFd.h"
#include "tags/CheckedFileStream.h"
#include "tags/FileRearrangement.h"
#include "tags/TagEditStream.h"

using TagLib::ByteVector;

namespace {
// Two and a half MiB that differ at every offset mod 251, so that a byte out of place shows.
std::string Pattern() {
    std::string bytes(5 << 19, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i % 251);
    }
    return bytes;
}

std::string Text(const ByteVector& bytes) {
    return {bytes.data(), bytes.size()};
}

// Makes the same random edits on both streams: small ones like a tag's size field and large ones
// like a tag with a picture, growing and shrinking the file at its start, middle and end.
class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : random_(seed) {}

    void Make(TagLib::IOStream& a, TagLib::IOStream& b) {
        const int count = Number(1, 5);
        for (int i = 0; i < count; ++i) {
            const long size = a.length();
            const auto at = static_cast<unsigned long>(Place(size));
            // Mostly an old tag's few bytes, sometimes anything up to the end.
            const int left = static_cast<int>(size - static_cast<long>(at));
            const auto span = static_cast<unsigned long>(
                Number(0, 2) > 0 ? Number(0, std::min(left, 16)) : Number(0, left));
            const ByteVector data = Bytes();
            const int kind = Number(0, 9);
            if (kind < 5) {
                a.insert(data, at, span), b.insert(data, at, span);
            } else if (kind < 7) {
                a.removeBlock(at, span), b.removeBlock(at, span);
            } else if (kind < 9) { // writing over the end makes the file longer
                a.seek(static_cast<long>(at)), b.seek(static_cast<long>(at));
                a.writeBlock(data), b.writeBlock(data);
            } else {
                a.truncate(static_cast<long>(at)), b.truncate(static_cast<long>(at));
            }
        }
    }

private:
    int Number(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }

    // The start, the end, or anywhere.
    long Place(long size) {
        const int kind = Number(0, 2);
        return kind == 0 ? 0 : kind == 1 ? size : Number(0, static_cast<int>(size));
    }

    ByteVector Bytes() {
        const int size = Number(0, 1) == 0 ? Number(0, 16) : Number(1, 2 << 20);
        ByteVector data(static_cast<unsigned int>(size));
        const int start = Number(0, 255);
        for (int i = 0; i < size; ++i) {
            data[i] = static_cast<char>(start + 7 * i);
        }
        return data;
    }

    std::mt19937 random_;
};

struct Edited {
    std::string expected;
    bool applied = false;
    bool undoFailed = false;
};

// Makes the edits of seed on the file at path, then writes them in; writeBudget >= 0 lets the
// writes fail after that many bytes.
Edited EditFile(const std::string& path, const std::string& content, unsigned seed,
                off_t writeBudget = -1) {
    WriteTextFile(path, content);
    const UniqueFd fd(open(path.c_str(), O_RDWR));
    CheckedFileStream file(fd.Get(), path);
    TagEditStream view(file);
    TagLib::ByteVectorStream model(ByteVector(content.data(), content.size()));
    RandomEdits(seed).Make(model, view);
    Edited result;
    result.expected = Text(*model.data());
    view.seek(0);
    EXPECT_EQ(Text(view.readBlock(1u << 30)), result.expected) << "seed " << seed;
    EXPECT_FALSE(view.Failed());
    if (writeBudget >= 0) {
        file.FailWritesAfter(writeBudget);
    }
    FileRearrangement rearrangement(file, view.Pieces());
    result.applied = rearrangement.Apply();
    result.undoFailed = rearrangement.UndoFailed();
    return result;
}
} // namespace

TEST(TagEditStream, EditsReadAndWriteInAsTagLibsOwnStreamMakesThem) {
    TestFolder dir;
    const std::string original = Pattern();
    for (unsigned seed = 1; seed <= 24; ++seed) {
        const Edited edited = EditFile(dir / "file", original, seed);
        EXPECT_TRUE(edited.applied) << "seed " << seed;
        EXPECT_TRUE(ReadTextFile(dir / "file") == edited.expected) << "seed " << seed;
    }
}

TEST(TagEditStream, AWriteThatFailsPartwayLeavesTheFileAsItWas) {
    TestFolder dir;
    const std::string original = Pattern();
    std::mt19937 random(7);
    int failures = 0;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        // Nothing at all, a little, or up to a few chunks of the moves.
        const off_t budget = std::uniform_int_distribution<off_t>(0, 5 << 20)(random) >>
                             std::uniform_int_distribution(0, 20)(random);
        const Edited edited = EditFile(dir / "file", original, seed, budget);
        const std::string now = ReadTextFile(dir / "file");
        EXPECT_FALSE(edited.undoFailed) << "seed " << seed;
        if (edited.applied) {
            EXPECT_TRUE(now == edited.expected) << "seed " << seed;
        } else {
            ++failures;
            EXPECT_TRUE(now == original) << "seed " << seed << ", budget " << budget;
        }
    }
    EXPECT_GT(failures, 12);
}

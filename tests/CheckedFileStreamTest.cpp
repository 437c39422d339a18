// The stream TagLib saves tags through: moving the bytes after an insert, and noticing failures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>

#include "TestFolder.h"
#include "system/UniqueFd.h"
#include "tags/CheckedFileStream.h"

namespace {
// Three and a half MiB of a pattern that differs at every offset mod 251.
std::string Pattern() {
    std::string bytes(7 << 19, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i % 251);
    }
    return bytes;
}
} // namespace

TEST(CheckedFileStream, InsertGrowsAndShrinksAroundTheRestOfTheFile) {
    TestFolder dir;
    const std::string path = dir / "file";
    std::string expected = Pattern();
    WriteTextFile(path, expected);
    UniqueFd fd(open(path.c_str(), O_RDWR));
    CheckedFileStream stream(fd.Get(), path);

    stream.insert(TagLib::ByteVector(5000, 'a'), 10, 3); // grows, the tail moves in chunks
    expected.replace(10, 3, std::string(5000, 'a'));
    stream.insert(TagLib::ByteVector(2, 'b'), 20, 4000); // shrinks
    expected.replace(20, 4000, "bb");
    stream.removeBlock(100, 1 << 20);
    expected.erase(100, 1 << 20);
    stream.seek(-4, TagLib::IOStream::End);
    stream.writeBlock(TagLib::ByteVector("tail", 4));
    expected.replace(expected.size() - 4, 4, "tail");
    stream.seek(0);
    const TagLib::ByteVector start = stream.readBlock(30);

    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(std::string(start.data(), start.size()), expected.substr(0, 30));
    EXPECT_EQ(stream.length(), static_cast<long>(expected.size()));
    EXPECT_TRUE(ReadTextFile(path) == expected);
}

TEST(CheckedFileStream, AFailedWriteIsNoticed) {
    TestFolder dir;
    const std::string path = dir / "file";
    WriteTextFile(path, "content");
    UniqueFd fd(open(path.c_str(), O_RDONLY));
    CheckedFileStream stream(fd.Get(), path);
    stream.seek(2);
    EXPECT_EQ(stream.readBlock(1u << 31), TagLib::ByteVector("ntent")); // only what is there
    EXPECT_FALSE(stream.Failed());
    stream.insert(TagLib::ByteVector("tag", 3), 0, 0);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(ReadTextFile(path), "content");
}

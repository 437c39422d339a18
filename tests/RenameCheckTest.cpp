// The rename check of the overwrite confirmation: which edited rows become rename entries, and the
// new names it refuses because they would lose a file nobody was asked about.
#include <gtest/gtest.h>

#include "TestFolder.h"
#include "choices/RenameCheck.h"

namespace {
bool NoOtherFile(const std::string&, const std::string&) {
    return false;
}

bool AnyFolder(const std::string&) {
    return true;
}
} // namespace

TEST(RenameCheck, EditedRowsBecomeEntriesWithTheirExtensionKept) {
    std::vector<OverwriteRow> rows = {
        {"/o/a.wav", "/o/a", "/o/a", ".wav"},  // untouched
        {"/o/b.wav", "/o/b", "/o/B", ".wav"},  // letter case only: a rename
        {"/o/c.WAV", "/o/c", "/o/c2", ".WAV"}, // the extension is kept as found
    };
    RenameVerdict verdict = CheckRenames(rows, NoOtherFile, AnyFolder);
    EXPECT_FALSE(verdict.RefusedRow);
    ASSERT_EQ(verdict.Entries.size(), 2u);
    EXPECT_EQ(verdict.Entries[0].OldPath, "/o/b.wav");
    EXPECT_EQ(verdict.Entries[0].NewPath, "/o/B.wav");
    EXPECT_EQ(verdict.Entries[1].NewPath, "/o/c2.WAV");

    // Two spellings of one new path are one name.
    rows[0].Caption = "/o/x/../c2";
    rows[0].Extension = ".WAV";
    verdict = CheckRenames(rows, NoOtherFile, AnyFolder);
    EXPECT_EQ(verdict.RefusedRow, std::optional<std::size_t>(2));
    EXPECT_TRUE(verdict.Entries.empty());
    EXPECT_NE(verdict.Refusal.find("is already the new name of another file"), std::string::npos);
}

TEST(RenameCheck, RefusesAnEmptyNameAndOneThatNamesAnotherFile) {
    const std::vector<OverwriteRow> empty = {{"/o/a.wav", "/o/a", "", ".wav"}};
    RenameVerdict verdict = CheckRenames(empty, NoOtherFile);
    EXPECT_EQ(verdict.RefusedRow, std::optional<std::size_t>(0));
    EXPECT_EQ(verdict.Refusal, "The new name of '/o/a.wav' is empty. Please type a name for it.");

    TestFolder dir;
    WriteTextFile(dir / "taken.wav", "someone's file");
    WriteTextFile(dir / "a.wav", "old a");
    const std::vector<OverwriteRow> taken = {{dir / "a.wav", dir / "a", dir / "taken", ".wav"}};
    verdict = CheckRenames(taken);
    EXPECT_EQ(verdict.RefusedRow, std::optional<std::size_t>(0));
    EXPECT_EQ(verdict.Refusal, "'" + (dir / "taken.wav") +
                                   "' already exists. Please choose another name for '" +
                                   (dir / "a.wav") + "'.");
}

TEST(RenameCheck, TheRowsOwnOutputUnderAnotherSpellingIsNoOtherFile) {
    TestFolder dir;
    WriteTextFile(dir / "own.wav", "x");
    EXPECT_FALSE(NamesOtherExistingFile(dir / "./own.wav", dir / "own.wav"));
    EXPECT_TRUE(NamesOtherExistingFile(dir / "own.wav", dir / "gone.wav"));
    EXPECT_FALSE(NamesOtherExistingFile(dir / "gone.wav", dir / "own.wav"));
}

TEST(RenameCheck, ANameWithoutItsFolderStaysBesideTheOutputItRenames) {
    TestFolder dir;
    std::filesystem::create_directories(dir / "out/sub");
    const std::string output = dir / "out/a.mp3";
    WriteTextFile(output, "old a");
    const auto renamed = [&](const std::string& caption) {
        return CheckRenames({{output, dir / "out/a", caption, ".mp3"}});
    };
    RenameVerdict verdict = renamed("Opening renamed");
    ASSERT_EQ(verdict.Entries.size(), 1u);
    EXPECT_EQ(verdict.Entries[0].NewPath, dir / "out/Opening renamed.mp3");
    verdict = renamed("../x");
    ASSERT_EQ(verdict.Entries.size(), 1u);
    EXPECT_EQ(verdict.Entries[0].NewPath, dir / "x.mp3");
    verdict = renamed("sub/./y");
    ASSERT_EQ(verdict.Entries.size(), 1u);
    EXPECT_EQ(verdict.Entries[0].NewPath, dir / "out/sub/y.mp3");

    // A folder that is not there is refused, as is a file standing where the folder should be.
    verdict = renamed("missing/z");
    EXPECT_EQ(verdict.RefusedRow, std::optional<std::size_t>(0));
    EXPECT_TRUE(verdict.Entries.empty());
    EXPECT_EQ(verdict.Refusal, "The folder '" + (dir / "out/missing") +
                                   "' does not exist. Please choose another name for '" + output +
                                   "'.");
    verdict = renamed("a.mp3/z");
    EXPECT_EQ(verdict.RefusedRow, std::optional<std::size_t>(0));
    EXPECT_EQ(ResolveCaption("/abs/./b", output), "/abs/b");
}

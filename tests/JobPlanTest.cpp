#include <gtest/gtest.h>

#include <filesystem>

#include "TestFolder.h"
#include "catalog/FormatTable.h"
#include "choices/JobOrder.h"
#include "engine/JobPlan.h"

namespace {
uint8_t Target(std::string_view key) {
    return FindTargetFormat(key)->Number;
}

struct PlanCase {
    const char* name;
    std::vector<std::string> inputs;
    const char* folder; // in the test folder; none: next to each input
    uint8_t target;
    std::vector<std::string> subFolders;
    std::vector<std::string> outputs;                     // relative to the test folder
    std::vector<std::optional<std::size_t>> sameOutputAs; // per row
};
} // namespace

TEST(JobPlan, OutputsAndClashes) {
    TestFolder dir;
    const std::string d = dir.Path();
    const std::vector<PlanCase> cases = {
        {"same stem, two types, into one target",
         {d + "x.wav", d + "x.mp3"},
         nullptr,
         Target("wma"),
         {},
         {"x.wma", "x.wma"},
         {{}, 0}},
        {"one name in two folders, flat",
         {d + "a/t.wav", d + "b/t.wav", d + "c/t.wav"},
         "out",
         Target("mp3"),
         {},
         {"out/t.mp3", "out/t.mp3", "out/t.mp3"},
         {{}, 0, 0}},
        {"one name in two folders, tree kept",
         {d + "a/t.wav", d + "b/t.wav"},
         "out",
         Target("mp3"),
         {"a/", "b/"},
         {"out/a/t.mp3", "out/b/t.mp3"},
         {{}, {}}},
        {"sub-folders are ignored next to the originals",
         {d + "a/t.wav"},
         nullptr,
         Target("mp3"),
         {"z/"},
         {"a/t.mp3"},
         {{}}},
        {"two spellings of one path",
         {d + "a/t.wav", d + "b/t.wav"},
         "out",
         Target("wav"),
         {"./", "x/../"},
         {"out/./t.wav", "out/x/../t.wav"},
         {{}, 0}},
    };
    for (const PlanCase& c : cases) {
        const DestinationSettings destination =
            c.folder ? DestinationSettings::Into(d + c.folder, c.target)
                     : DestinationSettings::NextToInputs(c.target);
        const JobPlan plan(c.inputs, destination, RenameTable(), c.subFolders);
        ASSERT_EQ(plan.Rows().size(), c.inputs.size()) << c.name;
        std::vector<std::size_t> clashing;
        for (std::size_t row = 0; row < c.inputs.size(); ++row) {
            EXPECT_EQ(plan.Rows()[row].Input, c.inputs[row]) << c.name;
            EXPECT_EQ(plan.Rows()[row].Output, d + c.outputs[row]) << c.name;
            EXPECT_EQ(plan.Rows()[row].SameOutputAs, c.sameOutputAs[row]) << c.name << " " << row;
            if (c.sameOutputAs[row]) {
                clashing.push_back(row);
            }
        }
        EXPECT_EQ(plan.ClashingRows(), clashing) << c.name;
    }
}

TEST(JobPlan, ExistingOutputsRenamesAndLinkedFolders) {
    TestFolder dir;
    const std::string d = dir.Path();
    std::filesystem::create_directory(d + "out");
    WriteTextFile(d + "out/b.wav", "OLD");
    std::filesystem::create_directory_symlink(d + "out", d + "link");
    const std::vector<std::string> inputs = {d + "a.mp3", d + "b.mp3", d + "c.mp3", d + "B.mp3"};

    RenameTable renames;
    // Exact paths only: the entry for "B.wav" leaves "b.wav" alone.
    renames.Fill({{d + "out/B.wav", d + "out/b (2).wav"}, {d + "out/c.wav", d + "link/b.wav"}});
    const JobPlan plan(inputs, DestinationSettings::Into(d + "out", Target("wav")), renames);
    EXPECT_EQ(plan.Rows()[1].Output, d + "out/b.wav");
    EXPECT_EQ(plan.Rows()[2].Output, d + "link/b.wav");
    EXPECT_EQ(plan.Rows()[3].Output, d + "out/b (2).wav");
    EXPECT_EQ(plan.ExistingOutputs(), (std::vector<std::size_t>{1, 2}));
    // The renamed output reaches the same file through the linked folder.
    EXPECT_EQ(plan.ClashingRows(), std::vector<std::size_t>{2});
    EXPECT_EQ(plan.Rows()[2].SameOutputAs, 1u);
}

TEST(JobPlan, RowsLeftOutClaimNothing) {
    TestFolder dir;
    const std::string d = dir.Path();
    const std::vector<std::string> inputs = {d + "a/t.wav", d + "b/t.wav", d + "c/t.wav"};
    std::vector<std::size_t> asked;
    const JobPlan plan(inputs, DestinationSettings::Into(d + "out", Target("mp3")), RenameTable(),
                       {}, [&](std::size_t input, const PlannedRow& row) {
                           asked.push_back(input);
                           EXPECT_EQ(row.Output, d + "out/t.mp3");
                           return input != 0;
                       });
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1, 2}));
    ASSERT_EQ(plan.Rows().size(), 2u);
    EXPECT_EQ(plan.Rows()[0].Input, inputs[1]);
    // b's output is its own; c's clashes with b's, numbered as the plan's first row.
    EXPECT_EQ(plan.ClashingRows(), std::vector<std::size_t>{1});
    EXPECT_EQ(plan.Rows()[1].SameOutputAs, 0u);
}

// The window's order as it plans it: a pattern names the output whether or not the tree is kept,
// the library folder replaces the marked folder for inputs below it, safe names apply last.
TEST(JobPlan, TheWindowsOrderNamesOutputsByPatternAndLibraryFolder) {
    struct OrderCase {
        const char* pattern;
        const char* base; // in the test folder; "" for none
        bool keepTree;
        bool safe;
        const char* output; // relative to out/
    };
    const std::vector<OrderCase> cases = {
        {"", "", false, false, "x:y.mp3"},
        {"", "", true, false, "b/x:y.mp3"},
        {"", "lib", true, false, "a/b/x:y.mp3"},
        {"", "lib/a/b", true, true, "x_y.mp3"},
        {"{folder}/{name}", "", false, false, "b/x:y.mp3"},
        {"{folder}/{name}", "lib", false, true, "a/b/x_y.mp3"},
        {"[{album} - ]{name}", "", true, false, "x:y.mp3"},
    };
    TestFolder dir;
    const std::string d = dir.Path();
    for (const OrderCase& c : cases) {
        JobOrder order;
        order.Inputs = {d + "lib/a/b/x:y.wav"};
        order.SubFolders = {"b/"};
        order.KeepTree = c.keepTree;
        order.Destination = DestinationSettings::Into(d + "out", Target("mp3"));
        order.Destination.NamePattern = c.pattern;
        order.Destination.BaseFolder = *c.base ? d + c.base : "";
        order.Destination.SafeNames = c.safe;
        const PlannedJob planned = order.Planned();
        EXPECT_EQ(planned.Plan().Rows()[0].Output, d + "out/" + c.output) << c.pattern << c.base;
        EXPECT_EQ(planned.MakesFolders(), c.keepTree || *c.pattern != '\0') << c.pattern;
    }
}

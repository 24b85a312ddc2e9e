// where an entry name may land: the split into folders, and the lookalikes of refused names
#include <gtest/gtest.h>

#include "core/extract_path_gate.h"

namespace corvane {
namespace {

std::string Landing(const std::string& name) {
    auto path = CheckEntryName(name);
    return path.ok() ? JoinEntryPath(path->components) + (path->isFolder ? "/" : "") : path.error();
}

// where an accepted name lands, a trailing "/" for a folder
TEST(ExtractPathGate, CheckEntryNameSplitsOrRefuses) {
    EXPECT_EQ(Landing("FileNotInRootPath\\--\\Shared\\m.bas"), "FileNotInRootPath/--/Shared/m.bas");
    EXPECT_EQ(Landing("Forms/"), "Forms/");
    EXPECT_EQ(Landing("a\\b\\"), "a/b/");
    for (const std::string name : {"Billing.vbp", "..a/b..", "...", "console.txt", "COM0", "lpt10.txt"})
        EXPECT_EQ(Landing(name), name);
    EXPECT_EQ(Landing(std::string(255, 'n')), std::string(255, 'n'));
    for (const std::string name : {"Nul.frm", "lpt1.log", "con .txt", "Com9", "a/./b", "a//b", "a\\\\b",
                                   "a/..", ".", "", "/", "//server/x", "a\x7f", "x:", "C:evil.txt"})
        EXPECT_NE(Landing(name).find("was refused"), std::string::npos) << name;
    EXPECT_NE(Landing(std::string("a\0b", 3)).find("was refused"), std::string::npos);
}

// the index of the first name the plan refuses, naming it; -1 when all fit, below when it went wrong
int FirstClash(const std::vector<std::string>& names) {
    EntryNamePlan plan;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto path = CheckEntryName(names[i]);
        if (!path.ok())
            return -3;
        if (Status added = plan.Add(names[i], *path); !added)
            return added.error().find(names[i]) == std::string::npos ? -2 : static_cast<int>(i);
    }
    return -1;
}

// entries that would land on one file, in either order
TEST(ExtractPathGate, PlanRefusesTheFirstClash) {
    EXPECT_EQ(FirstClash({"a/b", "a/c", "a/", "A/d"}), -1);
    EXPECT_EQ(FirstClash({"Forms/", "Forms\\a.frm"}), -1);
    EXPECT_EQ(FirstClash({"a.txt", "b.txt", "A.TXT"}), 2);
    EXPECT_EQ(FirstClash({"a/b/c", "A/B"}), 1);
    EXPECT_EQ(FirstClash({"a/", "a"}), 1);
    EXPECT_EQ(FirstClash({"a/", "a/"}), 1);
    EXPECT_EQ(FirstClash({"a\\b", "a/b"}), 1);
}

TEST(ExtractPathGate, DisplayEntryNameShowsControlCharactersAndShortensLongNames) {
    EXPECT_EQ(DisplayEntryName("a\x1b[2J"), "a\\x1b[2J");
    EXPECT_EQ(DisplayEntryName(std::string(119, 'x') + "\xc3\xa9" + "tail"), std::string(119, 'x') + "...");
}

} // namespace
} // namespace corvane
